// CD access over one virtual drive holding the demo disc, handles opened as the rip job opens
// them, and the disc's frames as a drive without faults delivers them.
#pragma once

#include <string>
#include <vector>

#include "cdaccess/cd_access.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/track_buffer.h"
#include "support/isolated_cd_access.h"

namespace lumbra::test {

// Demo disc layout: audio tracks from 0, 1725, 4050 and 5100, a data track from 7875.
inline constexpr int32_t kDemoTrack3 = 4050;
inline constexpr int32_t kDemoTrack4 = 5100;
inline constexpr int32_t kDemoDataTrack = 7875;
inline constexpr int32_t kDemoLeadOut = 9375;

class VirtualDemoDrive : public IsolatedCdAccess {
protected:
    void SetUp() override {
        IsolatedCdAccess::SetUp();
        startVirtualDrives("demo");
    }

    // Puts in a fresh drive showing these faults; its first read lands exactly.
    void setFaults(const std::string& faults) {
        using Configure = int (*)(const char*, const char*);
        const auto configure =
            reinterpret_cast<Configure>(transportExtension("LumbraVirtualConfigure"));
        ASSERT_NE(configure, nullptr);
        ASSERT_EQ(configure("demo", faults.c_str()), 1);
    }

    // A handle with this read method, compare frames 1 and overlap frames 3.
    int openDrive(uint8_t readMethod = 0) {
        const OpenDriveRequest request{
            kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, readMethod, 0, 1, 3};
        const int handle = getCDHandle(&request);
        EXPECT_GE(handle, 1);
        return handle;
    }

    // Sends a command block straight to the drive, past every set-up: its status result.
    static int sendRaw(std::initializer_list<uint8_t> cdb, std::vector<uint8_t>& data) {
        return executeCommand({0, 0, 0},
                              CommandBlock(cdb, 0x48, data.data(), uint32_t(data.size())));
    }

    static int rawRead10(int32_t frame) {
        std::vector<uint8_t> data(kFrameBytes);
        return sendRaw(
            {0x28, 0, 0, uint8_t(frame >> 16), uint8_t(frame >> 8), uint8_t(frame), 0, 0, 1, 0},
            data);
    }

    // The frames as READ CD delivers them from a fresh drive without faults, put in for it.
    std::vector<uint8_t> framesWithoutFaults(int32_t start, int32_t count) {
        setFaults("");
        std::vector<uint8_t> frames;
        for (int32_t done = 0; done < count; done += 200) {
            const int32_t first = start + done;
            std::vector<uint8_t> data(size_t(std::min(200, count - done)) * kFrameBytes);
            const auto n = uint8_t(data.size() / kFrameBytes);
            EXPECT_EQ(sendRaw({0xBE, 0, 0, uint8_t(first >> 16), uint8_t(first >> 8),
                               uint8_t(first), 0, 0, n, 0x10, 0, 0},
                              data),
                      1);
            frames.insert(frames.end(), data.begin(), data.end());
        }
        return frames;
    }
};

}  // namespace lumbra::test
