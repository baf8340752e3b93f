// Every form in which a user or a desktop names a drive at start-up finds that drive.
#include "app/drive_choice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace lumbra {
namespace {

DriveEntry drive(std::string letter) {
    DriveEntry entry;
    entry.description = "DRIVE";
    entry.letter = std::move(letter);
    return entry;
}

TEST(DriveChoice, DeviceNamesLinksAndDesktopUrisFindTheirDrive) {
    test::TempDir dir;
    const std::string second = dir.write("sr1", "");
    std::filesystem::create_symlink(second, dir.file("cdrom"));
    const std::vector<DriveEntry> drives = {drive("/dev/sr0"), drive(second), drive("demo"),
                                            drive("")};
    EXPECT_EQ(driveIndexForDevice(drives, "/dev/sr0"), 0);
    EXPECT_EQ(driveIndexForDevice(drives, "cdda://sr0"), 0);
    EXPECT_EQ(driveIndexForDevice(drives, "cdda://sr0/"), 0);
    EXPECT_EQ(driveIndexForDevice(drives, "cdda:///dev/sr0"), 0);
    EXPECT_EQ(driveIndexForDevice(drives, "sr0"), 0);
    EXPECT_EQ(driveIndexForDevice(drives, dir.file("cdrom")), 1) << "a link names its target";
    EXPECT_EQ(driveIndexForDevice(drives, "cdda://" + dir.file("cdrom")), 1);
    EXPECT_EQ(driveIndexForDevice(drives, "demo"), 2) << "a virtual drive by its image";
    EXPECT_EQ(driveIndexForDevice(drives, "/dev/sr7"), std::nullopt);
    EXPECT_EQ(driveIndexForDevice(drives, ""), std::nullopt) << "no device is no drive";
}

}  // namespace
}  // namespace lumbra
