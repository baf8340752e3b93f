#include "plugins/virtualdrive/command_scheduler.h"

namespace lumbra::virtualdrive {

CommandScheduler::~CommandScheduler() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void CommandScheduler::schedule(Clock::time_point due, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        // Started first: if the system refuses a thread, no job is left behind to run later.
        if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
        jobs_.emplace(due, std::move(job));
    }
    wake_.notify_all();
}

void CommandScheduler::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (jobs_.empty()) {
            wake_.wait(lock);
            continue;
        }
        const auto next = jobs_.begin();
        if (next->first > Clock::now()) {
            wake_.wait_until(lock, next->first);
            continue;
        }
        auto job = std::move(next->second);
        jobs_.erase(next);
        lock.unlock();
        job();
        lock.lock();
    }
}

}  // namespace lumbra::virtualdrive
