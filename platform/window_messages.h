// Messages from the jobs to the windows. Workers only post; the GUI turns each post into a queued
// event for the right widget, the command line and the tests into whatever they watch.
#pragma once

#include <cstdint>

namespace lumbra {

inline constexpr int WM_RIP_DONE = 2025;
inline constexpr int WM_RIP_PROGRESS = 2026;  // lParam: the TrackEntry
inline constexpr int WM_LOOKUP_DONE = 2027;
inline constexpr int WM_OFFSET_DONE = 2028;  // wParam: the offset search's number
inline constexpr int WM_COMMIT_EDITS = 2035;
inline constexpr int WM_APPLY_DISC_INFO = 2036;
inline constexpr int WM_OPEN_HELP = 2038;
inline constexpr int WM_APPLY_ENCODER_DEFAULTS = 2039;

class EventSink {
public:
    virtual ~EventSink() = default;
    // Must not block: the poster is a worker in the middle of its job.
    virtual void post(int message, uintptr_t wParam, const void* lParam) = 0;
};

}  // namespace lumbra
