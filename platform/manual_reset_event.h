// A manual-reset event on an eventfd: once set it stays signalled for every waiter until reset.
// The descriptor is what a command request carries to whoever completes it.
#pragma once

#include <chrono>

#include "platform/unique_fd.h"

namespace lumbra::platform {

class ManualResetEvent {
public:
    ManualResetEvent();  // not signalled; isValid() is false when the system refuses an eventfd

    bool isValid() const { return static_cast<bool>(fd_); }
    int descriptor() const { return fd_.get(); }

    void set();
    void reset();
    // True when the event is (or becomes) signalled within `timeout`.
    bool wait(std::chrono::milliseconds timeout) const;

private:
    UniqueFd fd_;
};

// Signals the event behind a descriptor received from elsewhere (a completer's side).
void signalEventDescriptor(int descriptor);

}  // namespace lumbra::platform
