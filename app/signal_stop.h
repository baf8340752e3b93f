// How a signal handler stops a job: it clears the flag the job's reads poll and signals the event
// its database exchange waits on. Both are safe inside a handler; the flag alone would leave an
// exchange with a silent server running until its time-out.
#pragma once

#include <atomic>
#include <cstdint>

namespace lumbra {

struct SignalStop {
    std::atomic<int32_t>* running = nullptr;
    int eventDescriptor = -1;

    // Does both; an empty one does nothing.
    void operator()() const;
};

}  // namespace lumbra
