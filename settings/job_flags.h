// The flags the main window and the jobs share without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace lumbra {

struct JobFlags {
    std::atomic<int32_t> ripRunning{0};  // cleared by the window to stop the rip job
    std::atomic<int32_t> lookupActive{0};
    std::atomic<int32_t> currentTrackIndex{-1};  // the track the rip job works on
};

}  // namespace lumbra
