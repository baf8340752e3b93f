#include "cdaccess/last_error.h"

#include <atomic>

#include "cdaccess/cd_access_errors.h"

namespace lumbra {
namespace {

// Per process, unguarded by design; atomics only keep concurrent readers well defined.
std::atomic<int> gLastError{kErrorNone};
std::atomic<uint8_t> gLastStatus{0};
SenseData gLastSense{};

}  // namespace

int takeLastError() {
    return gLastError.exchange(kErrorNone);
}

uint8_t takeLastStatus() {
    return gLastStatus.exchange(1);
}

SenseData lastSense() {
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
    gLastSense = sense;
    gLastError = kErrorCommandFailed;
}

}  // namespace lumbra
