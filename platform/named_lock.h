// A system-wide lock shared by every process of the namespace: recursive for the owning thread,
// with timed waits, and robust: a lock whose owner died is handed to the next waiter, and one
// whose creator died while setting it up is set up again.
#pragma once

#include <chrono>
#include <memory>
#include <string_view>

namespace lumbra::platform {

class SharedMemory;
struct NamedLockCell;

enum class LockResult { Acquired, TimedOut, Failed };

class NamedLock {
public:
    // Opens (creating when needed) the lock of that name; nullptr when the system refuses.
    static std::unique_ptr<NamedLock> open(std::string_view name);

    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;
    ~NamedLock();

    LockResult lockFor(std::chrono::milliseconds timeout);
    LockResult lock();
    void unlock();

private:
    explicit NamedLock(std::unique_ptr<SharedMemory> memory);
    NamedLockCell& cell() const;

    std::unique_ptr<SharedMemory> memory_;
};

// Holds a NamedLock for one scope once acquired.
class NamedLockGuard {
public:
    NamedLockGuard(NamedLock& lock, std::chrono::milliseconds timeout)
        : lock_(lock), result_(lock.lockFor(timeout)) {}
    NamedLockGuard(const NamedLockGuard&) = delete;
    NamedLockGuard& operator=(const NamedLockGuard&) = delete;
    ~NamedLockGuard() {
        if (owns()) lock_.unlock();
    }
    bool owns() const { return result_ == LockResult::Acquired; }
    LockResult result() const { return result_; }

private:
    NamedLock& lock_;
    LockResult result_;
};

}  // namespace lumbra::platform
