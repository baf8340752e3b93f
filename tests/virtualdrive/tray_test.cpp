// The virtual drive's tray: START STOP UNIT opens and closes it, an open tray holds no disc, and
// a drive whose removal is prevented keeps its tray shut.
#include <gtest/gtest.h>

#include "virtualdrive/virtual_drive_client.h"

namespace lumbra::virtualdrive::test {
namespace {

const std::vector<uint8_t> kTestUnitReady{0x00, 0, 0, 0, 0, 0};
const std::vector<uint8_t> kOpenTray{0x1B, 0, 0, 0, 0x02, 0};
const std::vector<uint8_t> kCloseTray{0x1B, 0, 0, 0, 0x03, 0};
const std::vector<uint8_t> kPreventRemoval{0x1E, 0, 0, 0, 0x01, 0};
const std::vector<uint8_t> kAllowRemoval{0x1E, 0, 0, 0, 0x00, 0};

// What the medium commands answer: 1 for each that succeeded, else its sense.
std::vector<Sense> mediumAnswers() {
    std::vector<Sense> answers;
    for (const auto& cdb : {kTestUnitReady, readTocCdb(), readCdCdb(0, 1)}) {
        const CommandResult result = runCommand(0, cdb, 2352);
        answers.push_back(result.status == kStatusDone ? Sense{1, 0, 0} : result.sense);
    }
    return answers;
}

TEST(VirtualDriveTray, AnOpenTrayHoldsNoDiscUntilItCloses) {
    ASSERT_EQ(VirtualDriveModule::get().configure("demo", ""), 1);
    const std::vector<Sense> present(3, Sense{1, 0, 0});
    const std::vector<Sense> absent(3, kMediumNotPresent);
    EXPECT_EQ(mediumAnswers(), present);

    runGood(0, kOpenTray, 0);
    EXPECT_EQ(mediumAnswers(), absent);
    runGood(0, kOpenTray, 0);
    EXPECT_EQ(mediumAnswers(), absent) << "opening an open tray changes nothing";
    runGood(0, kCloseTray, 0);
    EXPECT_EQ(mediumAnswers(), present) << "closing brings the disc back";

    runGood(0, kPreventRemoval, 0);
    const CommandResult refused = runCommand(0, kOpenTray, 0);
    EXPECT_EQ(refused.status, kStatusError);
    EXPECT_EQ(refused.sense, kMediumRemovalPrevented);
    EXPECT_EQ(mediumAnswers(), present);
    runGood(0, kAllowRemoval, 0);
}

}  // namespace
}  // namespace lumbra::virtualdrive::test
