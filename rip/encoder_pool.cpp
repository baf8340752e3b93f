#include "rip/encoder_pool.h"

#include <algorithm>

namespace lumbra {

EncoderPool::EncoderPool(int threads) {
    // New threads keep the creator's scheduling, so they yield the processor as the reader does.
    for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

EncoderPool::~EncoderPool() {
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void EncoderPool::run(std::function<void()> task) {
    {
        const std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    changed_.notify_one();
}

void EncoderPool::work() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return closing_ || !tasks_.empty(); });
            if (tasks_.empty()) return;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
    }
}

int encoderThreadsFor(int setting) {
    if (setting > 0) return setting;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

}  // namespace lumbra
