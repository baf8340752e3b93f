// The start-up options both programs take from --demo and --image, played by the real virtual
// drive library: every sheet path reaches its own drive exactly as given.
#include "app/virtual_drive_options.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "app/disc_refresh.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

class VirtualDriveOptionsTest : public test::IsolatedCdAccess {
protected:
    // Relative names resolve against the folder the program starts in, as on a command line.
    void SetUp() override {
        IsolatedCdAccess::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        IsolatedCdAccess::TearDown();
    }

    // A disc of `tracks` short tracks under this file name.
    void writeSheet(const std::string& name, int tracks) {
        const auto image = test::writeCueImage(dir.path(), "disc" + std::to_string(tracks),
                                               std::vector<int>(size_t(tracks), 150));
        std::filesystem::rename(image.cuePath, dir.file(name));
    }

    // How many tracks the disc in each drive has, in drive order.
    std::vector<size_t> trackCounts() {
        std::vector<DriveEntry> drives;
        buildDriveList(drives);
        std::vector<size_t> counts;
        SettingsRecord settings;
        test::RecordingPrompts prompts;
        for (size_t drive = 0; drive < drives.size(); ++drive) {
            std::vector<TrackEntry> tracks;
            refreshDisc(prompts, drives, int(drive), tracks, settings, false);
            counts.push_back(tracks.size());
        }
        return counts;
    }

    test::TempDir dir;
    std::filesystem::path previous;
};

TEST_F(VirtualDriveOptionsTest, WithoutDemoOrSheetsTheSystemDrivesAreUsed) {
    const auto options = virtualDriveOptions(false, {});
    ASSERT_TRUE(std::holds_alternative<CdAccessOptions>(options));
    EXPECT_TRUE(std::get<CdAccessOptions>(options).aspiLibrary.empty());
    EXPECT_TRUE(std::get<CdAccessOptions>(options).virtualDiscs.empty());
}

// Names the disc list would otherwise split at ";", trim, or take for the built-in demo disc.
TEST_F(VirtualDriveOptionsTest, EverySheetPathReachesItsOwnDriveAsGiven) {
    const std::vector<std::string> sheets = {"demo", "two;drives.cue", "  blank.cue", "100%.cue"};
    for (size_t i = 0; i < sheets.size(); ++i) writeSheet(sheets[i], int(i) + 1);
    const auto options = virtualDriveOptions(true, sheets);
    ASSERT_TRUE(std::holds_alternative<CdAccessOptions>(options)) << std::get<std::string>(options);
    const CdAccessOptions& chosen = std::get<CdAccessOptions>(options);
    EXPECT_TRUE(chosen.aspiLibrary.ends_with("/liblumbra_virtualdrive.so")) << chosen.aspiLibrary;
    startVirtualDrives(chosen.virtualDiscs);
    const std::vector<size_t> demoThenSheets = {trackCounts().front(), 1, 2, 3, 4};
    EXPECT_EQ(trackCounts(), demoThenSheets) << chosen.virtualDiscs;
    EXPECT_GT(demoThenSheets.front(), 4u) << "the demo disc comes first";
}

}  // namespace
}  // namespace lumbra
