// Runs jobs on one worker thread when they fall due, in due order (submission order for equal
// times), so that a completion delay holds up neither the caller nor other drives. The worker
// starts with the first job and is joined on destruction; jobs not yet due then are dropped,
// since whoever sent them has stopped waiting.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace lumbra::virtualdrive {

class CommandScheduler {
public:
    using Clock = std::chrono::steady_clock;

    CommandScheduler() = default;
    CommandScheduler(const CommandScheduler&) = delete;
    CommandScheduler& operator=(const CommandScheduler&) = delete;
    ~CommandScheduler();

    void schedule(Clock::time_point due, std::function<void()> job);

private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::multimap<Clock::time_point, std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace lumbra::virtualdrive
