// Plain and aligned reads over the real transport and a virtual drive: finding a read method that
// works, its drive set-up and restore, and how reads fail.
#include <gtest/gtest.h>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/read_routines.h"
#include "cdaccess/slot_access.h"
#include "virtual_demo_drive.h"

namespace lumbra {
namespace {

using test::kDemoDataTrack;
using test::kDemoLeadOut;

std::vector<uint8_t> validBytes(const TrackBuffer& buffer) {
    const auto data = buffer.validData();
    return {data.begin(), data.end()};
}

class DetectReadMethod : public test::VirtualDemoDrive {
protected:
    TrackBuffer buffer = TrackBuffer::forFrames(26);

    int readAt(int handle, int32_t start) {
        buffer.setRequest(start, 26);
        return readAudioFrames(handle, buffer);
    }
};

TEST_F(DetectReadMethod, LandsOnThePageFormatSelectWhenReadCdIsRefused) {
    const auto expected = framesWithoutFaults(3000, 26);
    setFaults("reject=2/1");
    EXPECT_NE(rawRead10(3000), 1) << "READ(10) with 2,048-byte blocks";
    const int handle = openDrive();
    ASSERT_EQ(readAt(handle, 3000), 1);
    EXPECT_EQ(validBytes(buffer), expected);
    const DriveSlot& slot = *slotOfHandle(handle);
    EXPECT_EQ(slot.readMethod, 8);
    EXPECT_EQ(slot.readRoutine, 8) << "later reads go straight to the method";
    EXPECT_EQ(slot.restoreRoutine, kRestoreBlockSize);
    EXPECT_EQ(rawRead10(3000), 1) << "the block-size selects took effect";

    ASSERT_EQ(releaseCDHandle(handle), 1);
    EXPECT_NE(rawRead10(3000), 1) << "released with the drive back at 2,048-byte blocks";
}

TEST_F(DetectReadMethod, RejectsAMethodThatLeavesTheFillUntouched) {
    const auto expected = framesWithoutFaults(100, 26);
    setFaults("untouched=2");
    const int handle = openDrive();
    ASSERT_EQ(readAt(handle, 100), 1);
    EXPECT_EQ(slotOfHandle(handle)->readMethod, 1);
    EXPECT_EQ(validBytes(buffer), expected);
}

TEST_F(DetectReadMethod, GivesUpWhenNothingReadsAndDetectsAgainNextTime) {
    setFaults("reject=1/2/3/4/5/6/7/8");
    const int handle = openDrive();
    EXPECT_EQ(readAt(handle, 100), 4);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);
    const DriveSlot& slot = *slotOfHandle(handle);
    EXPECT_EQ(slot.readMethod, 0);
    EXPECT_EQ(slot.readRoutine, 0);
    EXPECT_EQ(slot.restoreRoutine, kNoRestore);
    EXPECT_NE(rawRead10(100), 1) << "no method given up leaves the drive at 2,352-byte blocks";

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

class ExtractionReads : public test::VirtualDemoDrive {
protected:
    TrackBuffer buffer = TrackBuffer::forFrames(32);
    TrackBuffer reference = TrackBuffer::forFrames(3);

    void setReference(int32_t start, const std::vector<uint8_t>& frame) {
        std::copy(frame.begin(), frame.end(), reference.data.begin());
        reference.start = start;
        reference.count = 1;
        reference.length = kFrameBytes;
        reference.offset = 0;
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
    buffer.setRequest(0, 1);
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
    buffer.setRequest(1000, 26);
    ASSERT_EQ(readAudioFramesOverlapped(handle, buffer, reference), 1);
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
    buffer.setRequest(1000, 26);
    ASSERT_EQ(readAudioFramesOverlapped(handle, buffer, reference), 1);
    EXPECT_EQ(buffer.offset, 0);
    EXPECT_EQ(validBytes(buffer), wanted);
    EXPECT_EQ(validBytes(reference), frame1025);

    setReference(999, frame999);
    buffer.setRequest(1000, 26);
    ASSERT_EQ(readAudioFramesOverlapped(handle, buffer, reference), 1);
    EXPECT_EQ(buffer.offset, 3 * kFrameBytes) << "read from three frames early and aligned";
    EXPECT_EQ(validBytes(buffer), wanted);
}

}  // namespace
}  // namespace lumbra
