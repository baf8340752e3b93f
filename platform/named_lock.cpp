#include "platform/named_lock.h"

#include <atomic>
#include <cerrno>
#include <ctime>
#include <pthread.h>
#include <string>
#include <thread>

#include "platform/shared_memory.h"

namespace lumbra::platform {

struct NamedLock::Cell {
    std::atomic<uint32_t> state;  // kUninitialised, kInitialising, kReady
    pthread_mutex_t mutex;
};

namespace {

constexpr uint32_t kUninitialised = 0;
constexpr uint32_t kInitialising = 1;
constexpr uint32_t kReady = 2;
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
            return pthread_mutex_consistent(&mutex) == 0 ? LockResult::Acquired : LockResult::Failed;
        case ETIMEDOUT:
        case EBUSY:
            return LockResult::TimedOut;
        default:
            return LockResult::Failed;
    }
}

}  // namespace

std::unique_ptr<NamedLock> NamedLock::open(std::string_view name) {
    auto memory = SharedMemory::open("lock." + std::string(name), sizeof(Cell));
    if (!memory) return nullptr;
    auto& cell = *static_cast<Cell*>(memory->data());
    uint32_t expected = kUninitialised;
    if (cell.state.compare_exchange_strong(expected, kInitialising)) {
        if (!initialiseMutex(cell.mutex)) {
            cell.state.store(kUninitialised);
            return nullptr;
        }
        cell.state.store(kReady);
    }
    const auto giveUp = std::chrono::steady_clock::now() + kInitialisationWait;
    while (cell.state.load() != kReady) {
        if (std::chrono::steady_clock::now() > giveUp) return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::unique_ptr<NamedLock>(new NamedLock(std::move(memory)));
}

NamedLock::NamedLock(std::unique_ptr<SharedMemory> memory) : memory_(std::move(memory)) {}

NamedLock::~NamedLock() = default;

NamedLock::Cell& NamedLock::cell() const { return *static_cast<Cell*>(memory_->data()); }

LockResult NamedLock::lockFor(std::chrono::milliseconds timeout) {
    const timespec deadline = monotonicDeadline(timeout);
    return interpret(cell().mutex, pthread_mutex_clocklock(&cell().mutex, CLOCK_MONOTONIC, &deadline));
}

LockResult NamedLock::lock() { return interpret(cell().mutex, pthread_mutex_lock(&cell().mutex)); }

void NamedLock::unlock() { pthread_mutex_unlock(&cell().mutex); }

}  // namespace lumbra::platform
