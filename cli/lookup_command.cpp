#include "cli/lookup_command.h"

#include <unistd.h>

#include <atomic>
#include <string>

#include "metadata/disc_info_text.h"
#include "metadata/disc_lookup_job.h"

namespace lumbra::cli {

bool lookupWanted(const Options& options, const SettingsRecord& settings) {
    return options.lookup.value_or(settings.cddbAuto);
}

// The command line has nothing else to do meanwhile, so the job's body runs right here.
void lookUpDisc(const SettingsRecord& settings, const DriveEntry& drive, DiscRecord& disc,
                std::vector<TrackEntry>& tracks, std::FILE* status) {
    const bool terminal = isatty(fileno(status));
    std::fputs(kLookupStatus, status);
    // On a terminal the line is wiped once the lookup ends, as the rip's progress takes its place.
    if (!terminal) std::fputs("\n", status);
    std::fflush(status);
    LookupHandle handle;
    const std::atomic<bool> wanted{true};
    const std::string text =
        runDiscLookup(lookupClientConfig(settings.cddb, {}), drive.openRequest, handle, wanted);
    if (terminal) std::fputs("\r\033[K", status);
    std::fflush(status);
    applyDiscInfoText(text, disc, tracks);
}

}  // namespace lumbra::cli
