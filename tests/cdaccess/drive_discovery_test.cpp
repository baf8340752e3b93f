#include <gtest/gtest.h>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "support/isolated_cd_access.h"

namespace lumbra {
namespace {

class DriveDiscovery : public test::IsolatedCdAccess {};

TEST_F(DriveDiscovery, ListsVirtualDrivesWithDescriptionsAndImageNames) {
    startVirtualDrives("demo;/nonexistent/album.cue");
    std::vector<DriveEntry> drives;
    ASSERT_EQ(buildDriveList(drives), 2);
    EXPECT_EQ(drives[0].description.substr(0, 9), "LUMBRA  ,") << "trailing blanks are kept";
    EXPECT_NE(drives[0].description.find("(0:0:0)"), std::string::npos) << drives[0].description;
    EXPECT_NE(drives[1].description.find("(0:1:0)"), std::string::npos) << drives[1].description;
    EXPECT_LE(drives[0].description.size(), 64u);
    EXPECT_EQ(drives[0].letter, "demo");
    EXPECT_EQ(drives[1].letter, "album.cue");
    EXPECT_EQ(drives[1].listIndex, 1);
    EXPECT_EQ(drives[1].openRequest.size, kOpenDriveRequestSize);
    EXPECT_EQ(drives[1].openRequest.target, 1);
    EXPECT_EQ(drives[1].openRequest.readMethod, 0);
}

TEST_F(DriveDiscovery, ScansNineDrivesButListsEight) {
    startVirtualDrives("demo;demo;demo;demo;demo;demo;demo;demo;demo");
    DriveScanList list{};
    EXPECT_EQ(scanCdDrives(list), 1);
    EXPECT_EQ(list.count, kMaxScannedDrives);
    EXPECT_EQ(list.drives[7].target, 7);
    EXPECT_EQ(std::string(list.drives[7].vendor), "LUMBRA  ");
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
    EXPECT_EQ(deviceTypeName(12), "");
}

}  // namespace
}  // namespace lumbra
