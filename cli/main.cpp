// lumbra-rip: the command-line front end over the ripper's core.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings_loaders.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/disc_refresh.h"
#include "cdaccess/drive_discovery.h"
#include "cli/disc_listing.h"
#include "cli/lookup_command.h"
#include "cli/options.h"
#include "cli/settings_report.h"
#include "cli/rip_command.h"
#include "cli/terminal_prompts.h"
#include "cli/virtual_drives.h"
#include "platform/program_home.h"

namespace {

constexpr int kExitNoToc = 1;
constexpr int kExitUsage = 2;

int printSettings() {
    const std::string home = lumbra::platform::programHome();
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    lumbra::SettingsRecord record;
    const auto loaded = lumbra::loadAllSettings(store, record, home);
    std::fputs(lumbra::cli::settingsReport(record, loaded).c_str(), stdout);
    return EXIT_SUCCESS;
}

int listDisc(const lumbra::cli::Options& options) {
    const int driveIndex = options.drive;
    std::vector<lumbra::DriveEntry> drives;
    lumbra::buildDriveList(drives);
    std::fputs(lumbra::cli::driveLines(drives).c_str(), stdout);
    if (!drives.empty() && size_t(driveIndex) >= drives.size()) {
        std::fprintf(stderr, "lumbra-rip: there is no drive %d\n", driveIndex);
        return kExitUsage;
    }
    const std::string home = lumbra::platform::programHome();
    lumbra::SettingsRecord settings;
    lumbra::loadAllSettings(lumbra::SettingsStore(lumbra::settingsPath(home)), settings, home);
    lumbra::cli::TerminalPrompts prompts(lumbra::cli::OverwriteAnswer::No);
    std::vector<lumbra::TrackEntry> tracks;
    if (lumbra::refreshDisc(prompts, drives, driveIndex, tracks, settings, true) != 0) {
        return kExitNoToc;
    }
    const lumbra::DriveEntry& drive = drives[size_t(driveIndex)];
    const bool lookup = lumbra::cli::lookupWanted(options, settings);
    lumbra::DiscRecord disc;
    if (lookup) lumbra::cli::lookUpDisc(settings, drive, disc, tracks, stderr);
    std::fputs(lumbra::cli::discLines(drive, tracks).c_str(), stdout);
    if (lookup) std::fputs(lumbra::cli::discRecordLines(disc).c_str(), stdout);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = lumbra::cli::parseOptions(argc, argv);
    if (!options) {
        std::fputs(lumbra::cli::kUsage, stderr);
        return kExitUsage;
    }
    if (!options->home.empty()) setenv("LUMBRA_HOME", options->home.c_str(), 1);
    if ((options->demo || !options->images.empty()) && !lumbra::cli::useVirtualDrives(*options)) {
        return kExitNoToc;
    }
    switch (options->action) {
        case lumbra::cli::Action::Settings:
            return printSettings();
        case lumbra::cli::Action::List:
            return listDisc(*options);
        case lumbra::cli::Action::Rip:
            return lumbra::cli::ripDisc(*options);
    }
    return kExitUsage;
}
