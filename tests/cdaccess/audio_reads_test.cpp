// Reads over the real transport and a virtual drive holding the demo disc: finding a read
// method that works, its drive set-up and restore, how reads fail, and the rip job's reads in
// each jitter mode on a drive that lands off after seeks and fails reads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/overlapped_read.h"
#include "cdaccess/read_routines.h"
#include "cdaccess/rip_reads.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/slot_access.h"
#include "cdaccess/track_buffer.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

// Demo disc layout: audio tracks from 0, 1725, 4050 and 5100, a data track from 7875.
constexpr int32_t kDemoTrack3 = 4050;
constexpr int32_t kDemoTrack4 = 5100;
constexpr int32_t kDemoDataTrack = 7875;
constexpr int32_t kDemoLeadOut = 9375;

class VirtualDemoDrive : public test::IsolatedCdAccess {
protected:
    void SetUp() override {
        IsolatedCdAccess::SetUp();
        startVirtualDrives("demo");
    }

    // Puts in a fresh drive showing these faults; its first read lands exactly.
    void setFaults(const std::string& faults) { startVirtualDrives("demo", faults); }

    TrackBuffer buffer = TrackBuffer::forFrames(32);

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
        for (int32_t first = start; first < start + count; first += 200) {
            std::vector<uint8_t> data(size_t(std::min(200, start + count - first)) * kFrameBytes);
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

std::vector<uint8_t> validBytes(const TrackBuffer& buffer) {
    const auto data = buffer.validData();
    return {data.begin(), data.end()};
}

class DetectReadMethod : public VirtualDemoDrive {
protected:
    int readAt(int handle, int32_t start) {
        buffer.setRequest(start, 26);
        return readAudioFrames(handle, buffer);
    }
};

TEST_F(DetectReadMethod, KeepsTheFirstMethodThatReadsAndRestoresTheDriveOnRelease) {
    const auto expected = framesWithoutFaults(3000, 26);
    const std::pair<const char*, int> cases[] = {{"reject=2/1", 8}, {"untouched=2", 1}};
    for (const auto& [faults, method] : cases) {
        setFaults(faults);
        EXPECT_NE(rawRead10(3000), 1) << "READ(10) with 2,048-byte blocks";
        const int handle = openDrive();
        ASSERT_EQ(readAt(handle, 3000), 1) << faults;
        EXPECT_EQ(slotOfHandle(handle)->readMethod, method) << faults;
        EXPECT_EQ(validBytes(buffer), expected) << faults;
        ASSERT_EQ(releaseCDHandle(handle), 1);
        EXPECT_NE(rawRead10(3000), 1) << "released with the drive back at 2,048-byte blocks";
    }
}

TEST_F(DetectReadMethod, GivesUpWhenNothingReadsAndDetectsAgainNextTime) {
    setFaults("reject=1/2/3/4/5/6/7/8");
    const int handle = openDrive();
    EXPECT_EQ(readAt(handle, 100), 4);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);
    const DriveSlot& slot = *slotOfHandle(handle);
    EXPECT_EQ(slot.readMethod, 0);
    EXPECT_EQ(slot.restoreRoutine, kNoRestore);
    EXPECT_NE(rawRead10(100), 1) << "no method given up leaves the drive at 2,352-byte blocks";

    setFaults("reject=1/2/3/4/5/6/8,untouched=7");
    EXPECT_EQ(readAt(handle, 100), 4);
    EXPECT_EQ(takeLastError(), kErrorReadLeftBufferUntouched) << "the last method read nothing";

    setFaults("reject=2/1/8");
    ASSERT_EQ(readAt(handle, 100), 1);
    EXPECT_EQ(slot.readMethod, 4);
}

TEST_F(DetectReadMethod, EveryFixedMethodReadsAfterItsOwnSetUp) {
    const auto expected = framesWithoutFaults(200, 26);
    for (uint8_t method = 1; method <= 8; ++method) {
        const int handle = openDrive(method);
        ASSERT_EQ(readAt(handle, 200), 1) << "method " << int(method);
        EXPECT_EQ(validBytes(buffer), expected) << "method " << int(method);
        ASSERT_EQ(releaseCDHandle(handle), 1);
        EXPECT_NE(rawRead10(200), 1) << "released with 2,048-byte blocks, method " << int(method);
    }
}

class ExtractionReads : public VirtualDemoDrive {
protected:
    TrackBuffer reference = TrackBuffer::forFrames(3);

    void setReference(int32_t start, const std::vector<uint8_t>& frame) {
        std::copy(frame.begin(), frame.end(), reference.data.begin());
        reference.start = start;
        reference.count = 1;
        reference.length = kFrameBytes;
        reference.offset = 0;
    }
    // Reads 26 frames from 1000 against the reference.
    void readOverlapped(int handle) {
        buffer.setRequest(1000, 26);
        ASSERT_EQ(readAudioFramesOverlapped(handle, buffer, reference), 1);
    }
};

TEST_F(ExtractionReads, FailuresLeaveTheirErrorCodes) {
    const int handle = openDrive(2);
    for (int32_t start : {kDemoLeadOut - 1, kDemoDataTrack - 1}) {
        buffer.setRequest(start, 2);
        EXPECT_EQ(readAudioFrames(handle, buffer), 4);
        EXPECT_EQ(takeLastError(), kErrorCommandFailed) << "from " << start;
        EXPECT_EQ(takeLastStatus(), 4);
    }
    TrackBuffer small = TrackBuffer::forFrames(25);
    small.setRequest(0, 26);
    EXPECT_EQ(readAudioFrames(handle, small), 4);
    EXPECT_EQ(takeLastError(), kErrorBufferTooSmall);
    EXPECT_EQ(readAudioFramesOverlapped(handle, small, reference), 4);
    EXPECT_EQ(takeLastError(), kErrorBufferTooSmall);
    ASSERT_EQ(releaseCDHandle(handle), 1);
    EXPECT_EQ(readAudioFrames(handle, buffer), 4);
    EXPECT_EQ(takeLastError(), kErrorBadHandle);
}

TEST_F(ExtractionReads, SilenceOrAReferenceFromElsewhereLeavesTheReadUnaligned) {
    const auto expected = framesWithoutFaults(999, 27);
    const std::vector<uint8_t> frame999(expected.begin(), expected.begin() + kFrameBytes);
    const std::vector<uint8_t> frame1025(expected.end() - kFrameBytes, expected.end());
    const std::vector<uint8_t> wanted(expected.begin() + kFrameBytes, expected.end());
    const int handle = openDrive(2);

    setReference(999, std::vector<uint8_t>(kFrameBytes, 0));
    readOverlapped(handle);
    EXPECT_EQ(buffer.offset, 0) << "silence: the read is not moved back";
    EXPECT_EQ(validBytes(buffer), wanted);
    EXPECT_EQ(reference.start, 1025);
    EXPECT_EQ(validBytes(reference), frame1025) << "the reference is refilled from the new data";

    setReference(990, frame999);
    buffer.setRequest(kDemoLeadOut - 1, 2);
    EXPECT_EQ(readAudioFramesOverlapped(handle, buffer, reference), 4);
    EXPECT_EQ(reference.start + reference.count + reference.length, 0)
        << "a reference from elsewhere is emptied";
    setReference(990, frame999);
    readOverlapped(handle);
    EXPECT_EQ(buffer.offset, 0) << "a reference from elsewhere";
    EXPECT_EQ(validBytes(buffer), wanted);

    setReference(999, frame999);
    readOverlapped(handle);
    EXPECT_EQ(buffer.offset, 3 * kFrameBytes) << "read from three frames early and aligned";
    EXPECT_EQ(validBytes(buffer), wanted);
}

// Every frame of a track must come once, bit-exact.
class ReadForRip : public VirtualDemoDrive {
protected:
    // Reads [first, end) as the rip job does, 26 frames a call, on a fresh drive with `faults`.
    std::vector<uint8_t> rip(int32_t first, int32_t end, int32_t mode, const std::string& faults) {
        setFaults(faults);
        const int handle = openDrive();
        RipReadBuffers buffers;
        std::vector<uint8_t> frames;
        for (int32_t start = first; start < end; start += kRipReadFrames) {
            const int count = std::min(kRipReadFrames, end - start);
            if (readForRip(handle, buffers, count, start, mode) != 1) {
                ADD_FAILURE() << "read from " << start << " failed with " << takeLastError();
                break;
            }
            const TrackBuffer& read = *buffers.current;
            EXPECT_EQ(read.start, start);
            EXPECT_EQ(read.length, count * kFrameBytes);
            const auto data = read.validData();
            frames.insert(frames.end(), data.begin(), data.end());
        }
        releaseCDHandle(handle);
        return frames;
    }
};

// Read errors on the frames just behind the first requests: their aligned reads cannot reach
// beyond the request, and those that land early come back short.
std::string errorsBehindRequests() {
    std::string faults = "jitter=500";
    for (int32_t frame = kDemoTrack3 + kRipReadFrames; frame < kDemoTrack3 + 12 * kRipReadFrames;
         frame += kRipReadFrames) {
        faults += ",readerror=" + std::to_string(frame) + ":1";
    }
    return faults;
}

// The plainer mixes of jitter and read errors are ripped end to end to WAV; these are the ones
// that push the retries and the alignment to their edges.
TEST_F(ReadForRip, EveryModeDeliversATrackBitExact) {
    const auto track = framesWithoutFaults(kDemoTrack3, kDemoTrack4 - kDemoTrack3);
    const std::pair<int32_t, std::string> cases[] = {{0, "jitter=300,readerror=4500:2"},
                                                     {9, "jitter=300,readerror=4400:1"},
                                                     {2, "jitter=1000,seed=5,readerror=4700:3"},
                                                     {2, errorsBehindRequests()}};
    for (const auto& [mode, faults] : cases) {
        EXPECT_TRUE(rip(kDemoTrack3, kDemoTrack4, mode, faults) == track)
            << "mode " << mode << ", " << faults;
    }
    const auto tail = framesWithoutFaults(kDemoDataTrack - 60, 60);
    EXPECT_TRUE(rip(kDemoDataTrack - 60, kDemoDataTrack, 2, "") == tail)
        << "aligned reads reach the last frame before a data track";
}

TEST_F(ReadForRip, FailsAfterThreeAttemptsInEveryMode) {
    for (int32_t mode : {0, 1, 2}) {
        setFaults("readerror=100");
        const int handle = openDrive();
        RipReadBuffers buffers;
        ASSERT_EQ(readForRip(handle, buffers, 26, 52, mode), 1);
        EXPECT_EQ(readForRip(handle, buffers, 26, 78, mode), 4);
        EXPECT_EQ(takeLastError(), kErrorCommandFailed) << "mode " << mode;
        EXPECT_EQ(takeLastStatus(), 4);
        releaseCDHandle(handle);
    }
}

}  // namespace
}  // namespace lumbra
