#include "cdaccess/last_error.h"

#include <atomic>
#include <mutex>

#include "cdaccess/cd_access_errors.h"

namespace lumbra {
namespace {

// Per process, unguarded by design; atomics only keep concurrent readers well defined.
std::atomic<int> gLastError{kErrorNone};
std::atomic<uint8_t> gLastStatus{0};
// A rip and a lookup may fail at the same moment: the lock keeps each copy of the sense bytes
// whole, from one command, never half of each.
std::mutex gSenseMutex;
SenseData gLastSense{};

}  // namespace

int takeLastError() {
    return gLastError.exchange(kErrorNone);
}

uint8_t takeLastStatus() {
    return gLastStatus.exchange(1);
}

SenseData lastSense() {
    const std::lock_guard lock(gSenseMutex);
    return gLastSense;
}

void setLastError(int error) {
    gLastError = error;
}

void setLastErrorUnlessSet(int error) {
    int expected = kErrorNone;
    gLastError.compare_exchange_strong(expected, error);
}

void recordFailedCommand(uint8_t status, const SenseData& sense) {
    gLastStatus = status;
    {
        const std::lock_guard lock(gSenseMutex);
        gLastSense = sense;
    }
    gLastError = kErrorCommandFailed;
}

}  // namespace lumbra
