#include "cli/progress_printer.h"

#include <unistd.h>
#include <algorithm>
#include <cstdio>

#include "metadata/track_credits.h"
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

// The line after the done line, for the tracks that were checked against the database.
std::string verificationLine(const TrackEntry& track) {
    const TrackVerification& v = track.verification;
    if (!v.measured || v.verdict.result == AccurateRipResult::None) return {};
    char sums[104];
    std::snprintf(sums, sizeof sums, "TRACK %d accuraterip v1 %08x v2 %08x crc32 %08x ",
                  track.number, v.sums.v1, v.sums.v2, v.sums.crc32);
    std::string line = sums;
    if (v.testCrc32) {
        std::snprintf(sums, sizeof sums, "test-crc32 %08x ", *v.testCrc32);
        line += sums;
    }
    return line + verdictWords(v.verdict) + "\n";
}

std::string progressLine(const TrackEntry& track) {
    const std::string title = platform::printableText(creditedTitle(track));
    char head[32];
    if (const char* ended = statusText(track.status)) {
        std::snprintf(head, sizeof head, "TRACK %d %s ", track.number, ended);
    } else {
        std::snprintf(head, sizeof head, "TRACK %d %3d%% ", track.number, int32_t(track.status));
    }
    return head + title;
}

}  // namespace

ProgressPrinter::ProgressPrinter() : ProgressPrinter(stdout, isatty(STDOUT_FILENO)) {}

ProgressPrinter::ProgressPrinter(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

void ProgressPrinter::post(int message, uintptr_t, const void* lParam) {
    // The tracks encoding at once post from their own threads.
    const std::lock_guard lock(mutex_);
    if (message == WM_RIP_DONE) {
        std::fflush(out_);
        return;
    }
    if (message != WM_RIP_PROGRESS || !lParam) return;
    const auto& track = *static_cast<const TrackEntry*>(lParam);
    if (track.status == lastStatus_ && &track == lastTrack_) return;
    lastTrack_ = &track;
    lastStatus_ = track.status;
    const std::string line = progressLine(track);
    std::string ended;
    if (statusText(track.status)) {
        ended = line + "\n";
        if (track.status == kTrackDone) ended += verificationLine(track);
    }
    if (terminal_) {
        const auto it = std::ranges::find(live_, &track, &LiveLine::track);
        if (!ended.empty()) {
            if (it != live_.end()) live_.erase(it);
        } else if (it != live_.end()) {
            it->text = line;
        } else {
            live_.push_back({&track, line});
        }
        redraw(ended);
    } else {
        printPlain(line, ended);
    }
    std::fflush(out_);
}

void ProgressPrinter::printPlain(const std::string& text, const std::string& ended) {
    std::fputs((ended.empty() ? text + "\n" : ended).c_str(), out_);
}

// Back to the first live line, clear to the end of the screen, then the ended track's lines
// (which stay) and the lines of the tracks still in flight. Those are cut at the screen's edge
// instead of wrapping, so that each takes exactly the one line the next redraw goes back over.
void ProgressPrinter::redraw(const std::string& ended) {
    std::string screen = "\r";
    if (drawn_ > 0) screen += "\033[" + std::to_string(drawn_) + "A";
    screen += "\033[J" + ended + "\033[?7l";
    for (const LiveLine& line : live_) screen += line.text + "\n";
    screen += "\033[?7h";
    std::fputs(screen.c_str(), out_);
    drawn_ = live_.size();
}

}  // namespace lumbra::cli
