#include "app/event_queue.h"

namespace lumbra {

void EventQueue::post(int message, uintptr_t wParam, const void* lParam) {
    {
        const std::lock_guard lock(mutex_);
        messages_.push_back({message, wParam, lParam});
    }
    posted_.notify_one();
}

std::optional<PostedMessage> EventQueue::next(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!posted_.wait_for(lock, timeout, [this] { return !messages_.empty(); }))
        return std::nullopt;
    const PostedMessage message = messages_.front();
    messages_.pop_front();
    return message;
}

}  // namespace lumbra
