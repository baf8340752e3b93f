// An event sink whose posts wait in arrival order until the front end's own thread takes them,
// as a window's message queue does.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "platform/window_messages.h"

namespace lumbra {

struct PostedMessage {
    int message = 0;
    uintptr_t wParam = 0;
    const void* lParam = nullptr;
};

class EventQueue : public EventSink {
public:
    void post(int message, uintptr_t wParam, const void* lParam) override;

    // The oldest post, waiting up to `timeout` for one; nullopt when none came.
    std::optional<PostedMessage> next(std::chrono::milliseconds timeout);

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<PostedMessage> messages_;
};

}  // namespace lumbra
