// The demo disc through the module: what a ripper sees of the table of contents, INQUIRY, the
// read methods, the tray and the limits of the caller's buffer.
#include <gtest/gtest.h>

#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

constexpr size_t kFrame = 2352;
constexpr uint32_t kDataTrackStart = 7875;  // after 23 + 31 + 14 + 37 seconds of audio
constexpr uint32_t kLeadOut = 9375;

class VirtualDriveCommands : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(VirtualDriveModule::get().configure("demo", ""), 1); }
};

TEST_F(VirtualDriveCommands, DemoTableOfContentsInBothAddressForms) {
    const std::vector<uint8_t> lba = {
        0, 50,   1,    5,                     // 2 + 8 x (5 tracks + lead-out), tracks 1-5
        0, 0x10, 1,    0, 0, 0, 0x00, 0x00,   // 0
        0, 0x10, 2,    0, 0, 0, 0x06, 0xBD,   // 1725
        0, 0x10, 3,    0, 0, 0, 0x0F, 0xD2,   // 4050
        0, 0x10, 4,    0, 0, 0, 0x13, 0xEC,   // 5100
        0, 0x14, 5,    0, 0, 0, 0x1E, 0xC3,   // 7875, data
        0, 0x14, 0xAA, 0, 0, 0, 0x24, 0x9F};  // 9375
    auto reply = runGood(0, readTocCdb(false), 804);
    EXPECT_EQ(std::vector<uint8_t>(reply.begin(), reply.begin() + 52), lba);

    const std::vector<uint8_t> msfAddresses = {0, 0, 2,  0, 0, 0, 25, 0, 0, 0, 56, 0,
                                               0, 1, 10, 0, 0, 1, 47, 0, 0, 2, 7,  0};
    reply = runGood(0, readTocCdb(true), 804);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(
            std::vector<uint8_t>(reply.begin() + 8 + 8 * i, reply.begin() + 12 + 8 * i),
            std::vector<uint8_t>(msfAddresses.begin() + 4 * i, msfAddresses.begin() + 4 * i + 4))
            << "descriptor " << i;
    }
}

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

TEST_F(VirtualDriveCommands, EveryReadMethodDeliversTheSameFrames) {
    const auto expected = runGood(0, readCdCdb(3000, 26), 26 * kFrame);
    EXPECT_NE(expected, std::vector<uint8_t>(26 * kFrame, kUnwrittenByte));
    EXPECT_EQ(runGood(0, readCdCdb(3000, 26, 0xF0), 26 * kFrame), expected);
    EXPECT_EQ(runGood(0, vendorD8Cdb(3000, 26), 26 * kFrame), expected);
    EXPECT_EQ(runGood(0, vendorD4Cdb(3000, 26), 26 * kFrame), expected);

    EXPECT_EQ(runCommand(0, read10Cdb(3000, 26), 26 * kFrame).sense.asc, 0x64)
        << "READ(10) before a 2,352-byte block length";
    runSelect(0, blockSizeSelectA());
    EXPECT_EQ(runGood(0, read10Cdb(3000, 26), 26 * kFrame), expected);
    runSelect(0, blockSizeRestore());
    EXPECT_EQ(runCommand(0, read10Cdb(3000, 26), 26 * kFrame).sense.asc, 0x64);
    for (const auto& select : blockSizeSelectsB()) runSelect(0, select);
    EXPECT_EQ(runGood(0, read10Cdb(3000, 26), 26 * kFrame), expected);
}

TEST_F(VirtualDriveCommands, ReadsOutsideTheAudioFailWithTheirOwnSense) {
    struct Case {
        std::vector<uint8_t> cdb;
        Sense sense;
    };
    for (const Case& c : {
             Case{readCdCdb(kLeadOut - 1, 2), kLbaOutOfRange},
             Case{readCdCdb(0xFFFFFF00u, 26), kLbaOutOfRange},
             Case{readCdCdb(kDataTrackStart, 1), kIllegalModeForTrack},
             Case{readCdCdb(kDataTrackStart - 2, 3), kIllegalModeForTrack},
             Case{readCdCdb(0, 1, 0xF8), kInvalidFieldInCdb},
             Case{{0x42, 0, 0x40, 1, 0, 0, 0, 0, 16, 0}, kInvalidOpcode},
         }) {
        const auto result = runCommand(0, c.cdb, 26 * kFrame);
        EXPECT_EQ(result.status, kStatusError);
        EXPECT_EQ(result.targetStatus, 2);
        EXPECT_EQ(result.sense, c.sense) << "opcode " << int(c.cdb[0]) << " at " << int(c.cdb[5]);
    }
    EXPECT_EQ(runCommand(0, readCdCdb(kDataTrackStart - 1, 1), kFrame).status, kStatusDone);
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

TEST_F(VirtualDriveCommands, TrayAndDiscChanges) {
    const std::vector<uint8_t> testUnitReady{0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> openTray{0x1B, 0, 0, 0, 0x02, 0};
    const std::vector<uint8_t> closeTray{0x1B, 0, 0, 0, 0x03, 0};
    auto& module = VirtualDriveModule::get();
    auto expectNoMedium = [&](const char* when) {
        for (const auto& cdb : {testUnitReady, readTocCdb(false), readCdCdb(0, 1),
                                std::vector<uint8_t>{0x4B, 0, 0, 0, 0, 0, 0, 0, 0, 0}}) {
            EXPECT_EQ(runCommand(0, cdb, 804).sense, kMediumNotPresent)
                << when << " " << int(cdb[0]);
        }
    };

    runGood(0, openTray, 0);
    expectNoMedium("tray open");
    EXPECT_EQ(runCommand(0, {0xBB, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}, 0).status, kStatusDone)
        << "SET CD SPEED needs no disc";
    runGood(0, closeTray, 0);
    runGood(0, testUnitReady, 0);

    EXPECT_EQ(module.insertDisc(0, ""), 1);
    expectNoMedium("empty drive");
    runGood(0, closeTray, 0);
    expectNoMedium("empty drive, tray closed");
    EXPECT_EQ(module.insertDisc(0, "demo"), 1);
    runGood(0, testUnitReady, 0);
    EXPECT_EQ(module.insertDisc(1, "demo"), 0) << "no such drive";

    ASSERT_EQ(module.configure("demo", "nodisc"), 1);
    expectNoMedium("nodisc");
    EXPECT_STREQ(module.driveName(0), "demo");
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
