#include "platform/named_lock.h"

#include <pthread.h>
#include <atomic>
#include <cerrno>
#include <ctime>
#include <string>
#include <thread>

#include "platform/named_lock_cell.h"
#include "platform/shared_memory.h"

namespace lumbra::platform {

namespace {

constexpr uint64_t kInitialisingFlag = uint64_t(1) << 63;
constexpr uint64_t kStartTimeBits = 0x7FFFFFFF;
constexpr auto kInitialisationWait = std::chrono::seconds(2);

bool initialiseMutex(pthread_mutex_t& mutex) {
    pthread_mutexattr_t attr;
    if (pthread_mutexattr_init(&attr) != 0) return false;
    const bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
                    pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0 &&
                    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE) == 0 &&
                    pthread_mutex_init(&mutex, &attr) == 0;
    pthread_mutexattr_destroy(&attr);
    return ok;
}

timespec monotonicDeadline(std::chrono::milliseconds timeout) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto total = std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec) +
                       std::chrono::duration_cast<std::chrono::nanoseconds>(timeout);
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(total);
    return timespec{time_t(secs.count()), long((total - secs).count())};
}

LockResult interpret(pthread_mutex_t& mutex, int rc) {
    switch (rc) {
        case 0:
            return LockResult::Acquired;
        case EOWNERDEAD:
            // The owner died holding it; what it guarded is as it left it, which the callers
            // accept, as an abandoned Windows mutex is handed over too.
            return pthread_mutex_consistent(&mutex) == 0 ? LockResult::Acquired
                                                         : LockResult::Failed;
        case ETIMEDOUT:
        case EBUSY:
            return LockResult::TimedOut;
        default:
            return LockResult::Failed;
    }
}

// Sets the mutex up if no process has, or if the one that began to died before it finished:
// otherwise every later open would fail until the shared memory was removed by hand. Only the
// process whose exchange succeeds touches the mutex.
bool claimAndInitialise(NamedLockCell& cell, uint64_t seen) {
    const uint64_t mine = initialisingState(currentProcess());
    if (!cell.state.compare_exchange_strong(seen, mine)) return true;
    if (!initialiseMutex(cell.mutex)) {
        cell.state.store(kLockUninitialised);
        return false;
    }
    cell.state.store(kLockReady);
    return true;
}

}  // namespace

uint64_t initialisingState(const ProcessIdentity& process) {
    return kInitialisingFlag | (process.startTime & kStartTimeBits) << 32 | uint32_t(process.pid);
}

bool initialiserDied(uint64_t state) {
    if (!(state & kInitialisingFlag)) return false;
    const auto pid = pid_t(uint32_t(state));
    if (!isRunning({pid, 0})) return true;
    const uint64_t startTime = startTimeOf(pid);
    return startTime != 0 && (startTime & kStartTimeBits) != (state >> 32 & kStartTimeBits);
}

std::unique_ptr<NamedLock> NamedLock::open(std::string_view name) {
    auto memory = SharedMemory::open("lock." + std::string(name), sizeof(NamedLockCell));
    if (!memory) return nullptr;
    auto& cell = *static_cast<NamedLockCell*>(memory->data());
    const auto giveUp = std::chrono::steady_clock::now() + kInitialisationWait;
    for (uint64_t seen = cell.state.load(); seen != kLockReady; seen = cell.state.load()) {
        if (seen == kLockUninitialised || initialiserDied(seen)) {
            if (!claimAndInitialise(cell, seen)) return nullptr;
            continue;
        }
        if (std::chrono::steady_clock::now() > giveUp) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::unique_ptr<NamedLock>(new NamedLock(std::move(memory)));
}

NamedLock::NamedLock(std::unique_ptr<SharedMemory> memory) : memory_(std::move(memory)) {}

NamedLock::~NamedLock() = default;

NamedLockCell& NamedLock::cell() const {
    return *static_cast<NamedLockCell*>(memory_->data());
}

LockResult NamedLock::lockFor(std::chrono::milliseconds timeout) {
    const timespec deadline = monotonicDeadline(timeout);
    return interpret(cell().mutex,
                     pthread_mutex_clocklock(&cell().mutex, CLOCK_MONOTONIC, &deadline));
}

LockResult NamedLock::lock() {
    return interpret(cell().mutex, pthread_mutex_lock(&cell().mutex));
}

void NamedLock::unlock() {
    pthread_mutex_unlock(&cell().mutex);
}

}  // namespace lumbra::platform
