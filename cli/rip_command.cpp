#include "cli/rip_command.h"

#include <cstdio>

#include "app/read_offset_settings.h"
#include "app/rip_summary.h"
#include "cdaccess/drive_discovery.h"
#include "cli/cli_session.h"
#include "cli/disc_listing.h"
#include "platform/control_characters.h"

namespace lumbra::cli {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// Ticks the named tracks (or every audio track); false when a named track does not exist.
bool tickTracks(const Options& options, CliSession& cli) {
    const DiscSession& session = cli.session();
    const size_t count = session.tracks().size();
    std::vector<bool> ticked(count);
    for (size_t i = 0; i < count; ++i)
        ticked[i] = options.tracks.empty() && !session.isDataTrack(int(i));
    for (int number : options.tracks) {
        if (size_t(number) > count) return false;
        ticked[size_t(number) - 1] = true;
    }
    cli.tick(ticked);
    return true;
}

// The line that ends a rip: how the ticked tracks ended, and where the files went.
void printSummary(const RipSummary& summary, const std::string& folder) {
    std::printf("SUMMARY written %d failed %d stopped %d folder %s\n", summary.written,
                summary.failed, summary.stopped, platform::printableText(folder).c_str());
}

// The drive list, and whether the chosen drive is in it (an empty list is left to the refresh,
// which reports it with the drives that could not be opened). Beside drives that work, those
// that could not be opened are named first, or a missing drive would go unexplained.
bool openDrives(const Options& options, CliSession& cli, bool print) {
    DiscSession& session = cli.session();
    cli.buildDriveList();
    for (const std::string& problem :
         session.drives().empty() ? std::vector<std::string>{} : driveOpenProblems()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
    }
    if (print) std::fputs(driveLines(session.drives()).c_str(), stdout);
    if (!session.drives().empty() && size_t(options.drive) >= session.drives().size()) {
        std::fprintf(stderr, "lumbra-rip: there is no drive %d\n", options.drive);
        return false;
    }
    return true;
}

}  // namespace

int listDisc(const Options& options, const std::string& home) {
    CliSession cli(options, home);
    DiscSession& session = cli.session();
    if (!openDrives(options, cli, true)) return kExitUsage;
    if (session.refresh(true) != true) return kExitFailed;
    const bool lookup = cli.lookupWanted();
    if (lookup) cli.lookUp(stderr);
    std::fputs(discLines(session.drives()[size_t(options.drive)], session.tracks()).c_str(),
               stdout);
    if (lookup || session.disc().titleSource != TitleSource::None)
        std::fputs(discRecordLines(session.disc()).c_str(), stdout);
    return 0;
}

int findOffset(const Options& options, const std::string& home) {
    CliSession cli(options, home);
    DiscSession& session = cli.session();
    if (!openDrives(options, cli, false)) return kExitUsage;
    if (session.refresh(true) != true) return kExitFailed;
    const auto detection = cli.findReadOffset();
    if (!detection) return kExitFailed;
    for (const OffsetCandidate& candidate : detection->candidates) {
        std::printf("OFFSET %+d tracks %d confidence %d\n", candidate.offset, candidate.tracks,
                    candidate.confidence);
    }
    std::fflush(stdout);
    const auto chosen = offerFoundOffset(cli.prompts(), *detection);
    if (chosen) {
        const DriveEntry& drive = session.drives()[size_t(options.drive)];
        cli.storeReadOffset(drive, *chosen);
        std::printf("stored read offset %+d for %s\n", *chosen, drive.model.c_str());
    }
    return detection->outcome == OffsetSearch::Found ? 0 : kExitFailed;
}

int ripDisc(const Options& options, const std::string& home) {
    CliSession cli(options, home);
    DiscSession& session = cli.session();
    if (!openDrives(options, cli, false)) return kExitUsage;
    if (session.refresh(true) != true) return kExitFailed;
    if (!tickTracks(options, cli)) {
        std::fprintf(stderr, "lumbra-rip: the disc has %zu tracks\n", session.tracks().size());
        return kExitUsage;
    }
    if (cli.lookupWanted()) cli.lookUp(stdout);
    if (!cli.rip()) return kExitFailed;
    const RipSummary summary = summariseRip(session.tracks());
    printSummary(summary, session.settings().outputFolder);
    return summary.failed == 0 && summary.stopped == 0 ? 0 : kExitFailed;
}

}  // namespace lumbra::cli
