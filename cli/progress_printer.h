// Rip progress on stdout: one line per track, rewritten in place on a terminal, appended as
// plain lines otherwise.
#pragma once

#include <mutex>

#include "platform/window_messages.h"

namespace lumbra::cli {

class ProgressPrinter : public EventSink {
public:
    ProgressPrinter();
    void post(int message, uintptr_t wParam, const void* lParam) override;

private:
    std::mutex mutex_;
    bool terminal_;
    const void* lastTrack_ = nullptr;
    int lastStatus_ = -1;
};

}  // namespace lumbra::cli
