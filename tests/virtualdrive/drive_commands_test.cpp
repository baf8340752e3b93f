// The demo disc through the module: replies and reads stop at the limits of the caller's buffer.
#include <gtest/gtest.h>

#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

constexpr size_t kFrame = 2352;

class VirtualDriveCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VirtualDriveModule::get().configure("demo", ""), 1); }
};

TEST_F(VirtualDriveCommands, RepliesStopAtAllocationLengthAndBufferLength) {
    auto reply = runCommand(0, readTocCdb(false, 12), 804).data;
    EXPECT_EQ(reply[11], 0x00);
    EXPECT_EQ(reply[12], kUnwrittenByte) << "wrote past the allocation length";

    const auto tight = runCommand(0, readTocCdb(false), 10, {}, 100);
    EXPECT_EQ(tight.status, kStatusDone);
    EXPECT_EQ(tight.data[9], 0x00);
    EXPECT_EQ(tight.data[10], kUnwrittenByte) << "wrote past the buffer length";

    reply = runGood(0, {0x12, 0, 0, 0, 96, 0}, 96);
    EXPECT_EQ(reply[0], 0x05);
    EXPECT_EQ(reply[1] & 0x80, 0x80) << "removable medium";
    EXPECT_EQ(std::string(reply.begin() + 8, reply.begin() + 36), "LUMBRA  VIRTUAL CD-ROM  1.0 ");
    reply = runGood(0, {0x12, 0, 0, 0, 5, 0}, 96);
    EXPECT_EQ(reply[5], kUnwrittenByte);
}

TEST_F(VirtualDriveCommands, AReadLargerThanTheBufferStopsAtItsEnd) {
    const auto whole = runGood(0, readCdCdb(100, 2), 2 * kFrame);
    const auto cut = runCommand(0, readCdCdb(100, 2), kFrame + 10, {}, 4096);
    EXPECT_EQ(cut.status, kStatusError);
    EXPECT_EQ(cut.adapterStatus, 0x12) << "data overrun";
    EXPECT_TRUE(std::equal(whole.begin(), whole.begin() + kFrame + 10, cut.data.begin()));
    EXPECT_TRUE(std::all_of(cut.data.begin() + kFrame + 10, cut.data.end(),
                            [](uint8_t b) { return b == kUnwrittenByte; }));
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
