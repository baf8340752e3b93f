#include "player/playback_stream.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "cdaccess/track_buffer.h"

namespace lumbra {

PlaybackStream::PlaybackStream(FrameReader read)
    : read_(std::move(read)), ring_(size_t(kAheadFrames) * kFrameBytes) {}

PlaybackStream::~PlaybackStream() {
    halt();
}

void PlaybackStream::start(int32_t first, int32_t end, std::function<void()> finished) {
    halt();
    std::lock_guard lock(mutex_);
    cancelled_ = false;
    readsDone_ = false;
    first_ = nextRead_ = first;
    end_ = std::max(first, end);
    taken_ = 0;
    finished_ = std::move(finished);
    reader_ = std::thread([this] { readAhead(); });
}

int32_t PlaybackStream::halt() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    room_.notify_all();
    if (reader_.joinable()) reader_.join();
    std::lock_guard lock(mutex_);
    head_ = queued_ = 0;
    finished_ = nullptr;
    const int32_t next = first_ + int32_t(taken_ / kFrameBytes);
    first_ = nextRead_ = end_ = next;
    taken_ = 0;
    return next;
}

int32_t PlaybackStream::position() const {
    std::lock_guard lock(mutex_);
    return first_ + int32_t(taken_ / kFrameBytes);
}

bool PlaybackStream::waitForRoom(std::unique_lock<std::mutex>& lock) {
    room_.wait(lock, [this] {
        return cancelled_ || ring_.size() - queued_ >= size_t(kReadFrames) * kFrameBytes;
    });
    return !cancelled_;
}

void PlaybackStream::readAhead() {
    std::vector<uint8_t> frames(size_t(kReadFrames) * kFrameBytes);
    for (;;) {
        std::unique_lock lock(mutex_);
        if (!waitForRoom(lock)) return;
        if (nextRead_ >= end_) {
            readsDone_ = true;
            return;
        }
        const int32_t first = nextRead_;
        const int32_t count = std::min(kReadFrames, end_ - first);
        const std::span<uint8_t> out(frames.data(), size_t(count) * kFrameBytes);
        lock.unlock();
        // A frame that cannot be read plays as silence: playback keeps its pace and its clock.
        if (!read_(first, count, out)) std::fill(out.begin(), out.end(), uint8_t(0));
        lock.lock();
        if (cancelled_) return;
        size_t tail = (head_ + queued_) % ring_.size();
        for (size_t done = 0; done < out.size();) {
            const size_t part = std::min(out.size() - done, ring_.size() - tail);
            std::memcpy(ring_.data() + tail, out.data() + done, part);
            done += part;
            tail = (tail + part) % ring_.size();
        }
        queued_ += out.size();
        nextRead_ += count;
        readsDone_ = nextRead_ >= end_;
        if (readsDone_) return;
    }
}

size_t PlaybackStream::readSamples(std::span<uint8_t> out) {
    std::function<void()> finished;
    size_t copied = 0;
    {
        std::lock_guard lock(mutex_);
        while (copied < out.size() && queued_ > 0) {
            const size_t part = std::min({out.size() - copied, queued_, ring_.size() - head_});
            std::memcpy(out.data() + copied, ring_.data() + head_, part);
            copied += part;
            head_ = (head_ + part) % ring_.size();
            queued_ -= part;
        }
        taken_ += int64_t(copied);
        if (readsDone_ && queued_ == 0) finished = std::exchange(finished_, nullptr);
    }
    if (copied > 0) room_.notify_one();
    if (finished) finished();
    return copied;
}

}  // namespace lumbra
