// Finding drives and telling what they are, over virtual drives and over no transport at all.
#include <gtest/gtest.h>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

class DriveDiscovery : public test::IsolatedCdAccess {};

// Without any transport the layer still starts, and every command fails cleanly with 0xE3.
TEST_F(DriveDiscovery, WithoutATransportFindsNothingAndFailsEveryCommand) {
    EXPECT_EQ(takeLastStatus(), 0) << "no command has failed yet";
    ASSERT_TRUE(initCdAccess());
    EXPECT_EQ(takeLastError(), kErrorNoTransport);

    DriveScanList list{};
    list.capacity = 8;
    EXPECT_EQ(scanCdDrives(list), 1);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(list.capacity, 8) << "the caller's capacity outlives the scan";
    EXPECT_EQ(takeLastError(), kErrorNoCdDrive);  // a failed count query scans nothing

    uint8_t reply[36];
    EXPECT_EQ(
        executeCommand({0, 0, 0}, CommandBlock({0x12, 0, 0, 0, 36, 0}, kFlagDataIn, reply, 36)),
        kResultFailed);
    EXPECT_EQ(takeLastStatus(), kStatusNotInitialised);
    EXPECT_EQ(takeLastError(), kErrorCommandFailed);

    std::vector<DriveEntry> drives;
    EXPECT_EQ(buildDriveList(drives), 0);
}

TEST_F(DriveDiscovery, ListsVirtualDrivesByAddressAndImageName) {
    startVirtualDrives("demo;/nonexistent/album.cue");
    std::vector<DriveEntry> drives;
    ASSERT_EQ(buildDriveList(drives), 2);
    EXPECT_NE(drives[1].description.find("(0:1:0)"), std::string::npos) << drives[1].description;
    EXPECT_EQ(drives[1].letter, "album.cue");
    EXPECT_EQ(drives[1].listIndex, 1);
    EXPECT_EQ(drives[1].openRequest.target, 1);
}

TEST_F(DriveDiscovery, ScansNineDrivesButListsEight) {
    startVirtualDrives("demo;demo;demo;demo;demo;demo;demo;demo;demo");
    DriveScanList list{};
    EXPECT_EQ(scanCdDrives(list), 1);
    EXPECT_EQ(list.count, kMaxScannedDrives);
    EXPECT_EQ(list.drives[7].target, 7);
    EXPECT_EQ(std::string(list.drives[7].product), "VIRTUAL CD-ROM  ");
}

TEST_F(DriveDiscovery, DeviceTypesAndTheirNames) {
    startVirtualDrives("demo");
    int type = -1;
    char name[64];
    EXPECT_EQ(queryDeviceType(0, 0, 0, &type, name, sizeof name), 1);
    EXPECT_EQ(type, 5);
    EXPECT_STREQ(name, "CD-ROM device");
    EXPECT_EQ(queryDeviceType(0, 3, 0, &type, name, sizeof name), 0);
    EXPECT_EQ(type, 0x1F);
    EXPECT_STREQ(name, "SS_NO_DEVICE");
    char shortName[4];
    EXPECT_EQ(queryDeviceType(0, 0, 0, nullptr, shortName, sizeof shortName), 1);
    EXPECT_STREQ(shortName, "CD-");
    EXPECT_EQ(deviceTypeName(31), "未知或无设备");
    EXPECT_EQ(deviceTypeName(11), "ASC IT8 device");
    EXPECT_EQ(deviceTypeName(12), "") << "past the named types";
}

}  // namespace
}  // namespace lumbra
