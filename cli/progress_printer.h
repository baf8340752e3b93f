// Rip progress: one line per event when the output is not a terminal. On a terminal, one line
// per track in flight, redrawn in place below the lines of the tracks that have ended, so that
// tracks encoding at once on several threads neither interleave nor repeat.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/window_messages.h"

namespace lumbra::cli {

class ProgressPrinter : public EventSink {
public:
    ProgressPrinter();  // stdout, a terminal when it is one
    ProgressPrinter(std::FILE* out, bool terminal);
    void post(int message, uintptr_t wParam, const void* lParam) override;

private:
    struct LiveLine {
        const void* track;
        std::string text;
    };

    void printPlain(const std::string& text, const std::string& ended);
    void redraw(const std::string& ended);

    std::mutex mutex_;
    std::FILE* out_;
    bool terminal_;
    std::vector<LiveLine> live_;  // the tracks in flight, in the order they started
    size_t drawn_ = 0;            // live lines on the screen, the cursor below them
    const void* lastTrack_ = nullptr;
    int lastStatus_ = -1;
};

}  // namespace lumbra::cli
