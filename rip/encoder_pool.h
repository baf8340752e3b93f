// The threads that encode a job's tracks while its reader goes on with the drive. Tasks start in
// the order they are handed over, each on the first thread that is free.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace lumbra {

class EncoderPool {
public:
    explicit EncoderPool(int threads);
    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;
    // Runs every task handed over to its end, then lets the threads go.
    ~EncoderPool();

    void run(std::function<void()> task);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> tasks_;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

// The encoder threads a job uses: the setting, or one per processor core when it is 0.
int encoderThreadsFor(int setting);

}  // namespace lumbra
