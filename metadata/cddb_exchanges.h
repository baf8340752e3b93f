// What the owner of a lookup shares with the CDDB exchanges that the lookup runs on its own
// thread: a stop that cuts a waiting exchange short at once, and the status line of a server
// reply that was refused, for telling the user why nothing was found.
#pragma once

#include <mutex>
#include <string>

#include "platform/manual_reset_event.h"

namespace lumbra {

class CddbExchanges {
public:
    void stop() { stop_.set(); }
    const platform::ManualResetEvent& stopEvent() const { return stop_; }

    void noteRefusedReply(std::string statusLine) {
        const std::lock_guard lock(mutex_);
        refusedReply_ = std::move(statusLine);
    }
    // The status line of the last refused reply; empty when none was.
    std::string refusedReply() const {
        const std::lock_guard lock(mutex_);
        return refusedReply_;
    }

private:
    platform::ManualResetEvent stop_;
    mutable std::mutex mutex_;
    std::string refusedReply_;
};

}  // namespace lumbra
