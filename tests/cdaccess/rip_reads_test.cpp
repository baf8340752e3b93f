// The rip job's reads in each jitter mode, over the real transport and a virtual drive that
// lands off after seeks and fails reads: every frame of a track must come once, bit-exact.
#include <gtest/gtest.h>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "virtual_demo_drive.h"

namespace lumbra {
namespace {

using test::kDemoDataTrack;
using test::kDemoTrack3;
using test::kDemoTrack4;

class ReadForRip : public test::VirtualDemoDrive {
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

TEST_F(ReadForRip, EveryModeDeliversATrackBitExact) {
    const auto track = framesWithoutFaults(kDemoTrack3, kDemoTrack4 - kDemoTrack3);
    struct Case {
        int32_t mode;
        std::string faults;
    };
    for (const Case& c :
         {Case{0, "jitter=300,readerror=4500:2"}, Case{1, ""},
          Case{1, "jitter=300,readerror=4200:1,readerror=4900:2"},
          Case{9, "jitter=300,readerror=4400:1"}, Case{2, ""}, Case{2, "jitter=300"},
          Case{2, "jitter=1000,seed=5,readerror=4700:3"}, Case{2, errorsBehindRequests()}}) {
        EXPECT_TRUE(rip(kDemoTrack3, kDemoTrack4, c.mode, c.faults) == track)
            << "mode " << c.mode << ", " << c.faults;
    }
}

TEST_F(ReadForRip, AlignedReadsReachTheLastFrameBeforeADataTrack) {
    const auto tail = framesWithoutFaults(kDemoDataTrack - 60, 60);
    EXPECT_TRUE(rip(kDemoDataTrack - 60, kDemoDataTrack, 2, "") == tail);
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
