// Two drives of one model, or two images in virtual drives, must not look like one drive twice.
#include "app/drive_labels.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

DriveEntry drive(std::string description, std::string letter) {
    DriveEntry entry;
    entry.description = std::move(description);
    entry.letter = std::move(letter);
    return entry;
}

TEST(DriveLabels, OnlyDrivesOfTheSameModelNameTheirDevice) {
    const std::vector<DriveEntry> drives = {
        drive("HL-DT-ST, DVDRAM GH24NSD1 vRN01 (0:0:0)", "/dev/sr0"),
        drive("ASUS, DRW-24D5MT v1.00 (1:0:0)", "/dev/sr1"),
        drive("HL-DT-ST, DVDRAM GH24NSD1 vRN01 (2:0:0)", "/dev/sr2"),
        drive("HL-DT-ST, DVDRAM GH24NSD1 vRN01 (3:0:0)", ""),
    };
    EXPECT_EQ(driveLabels(drives),
              (std::vector<std::string>{"HL-DT-ST, DVDRAM GH24NSD1 vRN01 (0:0:0) /dev/sr0",
                                        "ASUS, DRW-24D5MT v1.00 (1:0:0)",
                                        "HL-DT-ST, DVDRAM GH24NSD1 vRN01 (2:0:0) /dev/sr2",
                                        "HL-DT-ST, DVDRAM GH24NSD1 vRN01 (3:0:0)"}));
}

}  // namespace
}  // namespace lumbra
