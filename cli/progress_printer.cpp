#include "cli/progress_printer.h"

#include <unistd.h>
#include <cstdio>

#include "metadata/track_entry.h"
#include "platform/control_characters.h"
#include "rip/rip_log.h"
#include "rip/track_status.h"

namespace lumbra::cli {
namespace {

const char* statusText(int32_t status) {
    switch (status) {
        case kTrackDone:
            return "done";
        case kTrackCancelled:
            return "cancelled";
        case kTrackFailed:
            return "failed";
        default:
            return nullptr;
    }
}

// A line after the done line, for the tracks that were checked against the database. On a
// terminal the line in place is ended first, and this one stays open like it.
void printVerification(const TrackEntry& track, bool terminal) {
    const TrackVerification& v = track.verification;
    if (!v.measured || v.verdict.result == AccurateRipResult::None) return;
    std::printf("%sTRACK %d accuraterip v1 %08x v2 %08x crc32 %08x %s%s", terminal ? "\n" : "",
                track.number, v.sums.v1, v.sums.v2, v.sums.crc32, verdictWords(v.verdict).c_str(),
                terminal ? "" : "\n");
}

}  // namespace

ProgressPrinter::ProgressPrinter() : terminal_(isatty(STDOUT_FILENO)) {}

void ProgressPrinter::post(int message, uintptr_t, const void* lParam) {
    // The tracks encoding at once post from their own threads.
    const std::lock_guard lock(mutex_);
    if (message == WM_RIP_DONE) {
        if (terminal_ && lastTrack_) std::fputs("\n", stdout);
        std::fflush(stdout);
        return;
    }
    if (message != WM_RIP_PROGRESS || !lParam) return;
    const auto& track = *static_cast<const TrackEntry*>(lParam);
    if (track.status == lastStatus_ && &track == lastTrack_) return;
    if (terminal_ && lastTrack_ && lastTrack_ != &track) std::fputs("\n", stdout);
    const char* ended = statusText(track.status);
    const std::string title = platform::printableText(track.title);
    if (terminal_) std::fputs("\r\033[K", stdout);
    if (ended) {
        std::printf("TRACK %d %s %s", track.number, ended, title.c_str());
    } else {
        std::printf("TRACK %d %3d%% %s", track.number, int32_t(track.status), title.c_str());
    }
    if (!terminal_) std::fputs("\n", stdout);
    if (track.status == kTrackDone) printVerification(track, terminal_);
    std::fflush(stdout);
    lastTrack_ = &track;
    lastStatus_ = track.status;
}

}  // namespace lumbra::cli
