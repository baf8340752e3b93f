// The shared bytes behind a NamedLock, and who is setting them up. Every process that opens the
// lock maps the same cell, so its layout is fixed.
#pragma once

#include <pthread.h>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/process_identity.h"

namespace lumbra::platform {

struct NamedLockCell {
    // kLockUninitialised, kLockReady, or initialisingState() of the process setting the mutex up.
    std::atomic<uint64_t> state;
    pthread_mutex_t mutex;
};
static_assert(std::atomic<uint64_t>::is_always_lock_free, "the state is shared between processes");
static_assert(offsetof(NamedLockCell, mutex) == 8);

inline constexpr uint64_t kLockUninitialised = 0;
inline constexpr uint64_t kLockReady = 2;

// The state that says `process` is initialising the mutex. It names the process with its start
// time, so that a cell left half set up by a process that died can be told from one that a live
// process is still setting up, even once the dead one's id is reused.
uint64_t initialisingState(const ProcessIdentity& process);

// True when `state` says a process initialises the cell and that process is gone.
bool initialiserDied(uint64_t state);

}  // namespace lumbra::platform
