// An event sink that remembers every post, with the track's status at the time of posting.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "metadata/track_entry.h"
#include "platform/window_messages.h"

namespace lumbra::test {

struct PostedEvent {
    int message;
    const TrackEntry* track;
    int32_t status;
};

class RecordingEvents : public EventSink {
public:
    std::function<void(const PostedEvent&)> onPost;  // runs on the poster's thread

    void post(int message, uintptr_t, const void* lParam) override {
        const auto* track = static_cast<const TrackEntry*>(lParam);
        const PostedEvent event{message, track, track ? int32_t(track->status) : 0};
        {
            std::lock_guard lock(mutex_);
            events_.push_back(event);
        }
        if (onPost) onPost(event);
    }

    std::vector<PostedEvent> events() const {
        std::lock_guard lock(mutex_);
        return events_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<PostedEvent> events_;
};

}  // namespace lumbra::test
