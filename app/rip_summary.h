// How a rip ended, as the front ends tell it: the status line, the desktop's notification and the
// command line's last line all count the ticked tracks the same way.
#pragma once

#include <string>
#include <vector>

#include "metadata/track_entry.h"

namespace lumbra {

struct RipSummary {
    int written = 0;
    int failed = 0;
    int stopped = 0;  // cancelled, or never reached because the rip was stopped

    int ticked() const { return written + failed + stopped; }
    bool clean() const { return written > 0 && failed == 0 && stopped == 0; }
};

// The ticked tracks by how they ended.
RipSummary summariseRip(const std::vector<TrackEntry>& tracks);

// "完成：3 个音轨已写入 /music", with the failed and stopped tracks after it when there are any.
std::string ripSummaryText(const RipSummary& summary, const std::string& folder);

}  // namespace lumbra
