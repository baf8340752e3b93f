#include "cli/rip_command.h"

#include <csignal>
#include <cstdio>

#include "app/job_flags.h"
#include "app/settings_loaders.h"
#include "cdaccess/disc_refresh.h"
#include "cli/lookup_command.h"
#include "cli/progress_printer.h"
#include "cli/terminal_prompts.h"
#include "platform/program_home.h"
#include "rip/rip_job.h"
#include "rip/track_status.h"

namespace lumbra::cli {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

JobFlags* gInterruptible = nullptr;

// Ctrl-C stops the rip the way the stop button does: the current track ends Cancelled and
// leaves no file.
extern "C" void stopRip(int) {
    if (gInterruptible) gInterruptible->ripRunning = 0;
}

bool isDataTrack(const DriveEntry& drive, size_t position) {
    return drive.toc.descriptors[position].adrControl & kDataTrackControl;
}

// Ticks the named tracks (or every audio track); false when a named track does not exist.
bool tickTracks(const Options& options, const DriveEntry& drive, std::vector<TrackEntry>& tracks) {
    for (size_t i = 0; i < tracks.size(); ++i) tracks[i].checked = options.tracks.empty() && !isDataTrack(drive, i);
    for (int number : options.tracks) {
        if (size_t(number) > tracks.size()) return false;
        tracks[size_t(number) - 1].checked = 1;
    }
    return true;
}

SettingsRecord loadSettings(const Options& options) {
    const std::string home = platform::programHome();
    SettingsRecord settings;
    loadAllSettings(SettingsStore(settingsPath(home)), settings, home);
    if (options.outputFolder) settings.outputFolder = *options.outputFolder;
    if (options.namingTemplate) settings.namingTemplate = *options.namingTemplate;
    if (options.format) settings.defaultFormat = OutputFormat(*options.format);
    settings.driveIndex = options.drive;
    return settings;
}

bool everyTickedTrackDone(const std::vector<TrackEntry>& tracks) {
    for (const auto& track : tracks) {
        if (track.checked && track.status != kTrackDone) return false;
    }
    return true;
}

}  // namespace

int ripDisc(const Options& options) {
    std::vector<DriveEntry> drives;
    buildDriveList(drives);
    if (!drives.empty() && size_t(options.drive) >= drives.size()) {
        std::fprintf(stderr, "lumbra-rip: there is no drive %d\n", options.drive);
        return kExitUsage;
    }
    const SettingsRecord settings = loadSettings(options);
    TerminalPrompts prompts(options.overwrite);
    std::vector<TrackEntry> tracks;
    if (refreshDisc(prompts, drives, options.drive, tracks, settings, true) != 0) return kExitFailed;
    const DriveEntry& drive = drives[size_t(options.drive)];
    if (!tickTracks(options, drive, tracks)) {
        std::fprintf(stderr, "lumbra-rip: the disc has %zu tracks\n", tracks.size());
        return kExitUsage;
    }
    DiscRecord disc;
    if (lookupWanted(options, settings)) lookUpDisc(settings, drive, disc, tracks, stdout);
    ProgressPrinter printer;
    JobFlags flags;
    flags.ripRunning = 1;
    const RipSession session{prompts, printer, flags, settings, disc, drive.openRequest};
    gInterruptible = &flags;
    std::signal(SIGINT, stopRip);
    runRipJob(session, tracks);
    std::signal(SIGINT, SIG_DFL);
    gInterruptible = nullptr;
    return everyTickedTrackDone(tracks) ? 0 : kExitFailed;
}

}  // namespace lumbra::cli
