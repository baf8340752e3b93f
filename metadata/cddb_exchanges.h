// What the owner of a lookup shares with the CDDB exchanges that the lookup runs on its own
// thread: a stop that cuts a waiting exchange short at once, and why an exchange failed (a server
// that could not be reached, or the status line of a reply that was refused), for telling the
// user why nothing was found.
#pragma once

#include <mutex>
#include <string>

#include "platform/manual_reset_event.h"

namespace lumbra {

class CddbExchanges {
public:
    void stop() { stop_.set(); }
    const platform::ManualResetEvent& stopEvent() const { return stop_; }

    void noteFailure(std::string why) {
        const std::lock_guard lock(mutex_);
        failure_ = std::move(why);
    }
    // Why the last exchange that failed did; empty when none did.
    std::string failure() const {
        const std::lock_guard lock(mutex_);
        return failure_;
    }

private:
    platform::ManualResetEvent stop_;
    mutable std::mutex mutex_;
    std::string failure_;
};

}  // namespace lumbra
