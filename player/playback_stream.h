// A range of CD frames read ahead on a thread of its own and handed to an audio output as it
// asks. Reads stay a bounded distance ahead of what the output has taken, so the drive is read
// at the pace of playback and is free between reads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "player/audio_output.h"

namespace lumbra {

class PlaybackStream : public SampleSource {
public:
    // Reads `count` frames from `first` into `out` (count × 2352 bytes); false on failure.
    using FrameReader = std::function<bool(int32_t first, int32_t count, std::span<uint8_t> out)>;

    // Frames per read and frames read ahead at most: a third of a second and two seconds.
    static constexpr int32_t kReadFrames = 25;
    static constexpr int32_t kAheadFrames = 150;

    explicit PlaybackStream(FrameReader read);
    PlaybackStream(const PlaybackStream&) = delete;
    PlaybackStream& operator=(const PlaybackStream&) = delete;
    ~PlaybackStream() override;

    // Halts a running range, then hands out frames [first, end). `finished` runs once, on the
    // output's thread, when the output has taken the range's last byte.
    void start(int32_t first, int32_t end, std::function<void()> finished = {});
    // Stops the reads (a read under way is the last) and drops what was read ahead. Returns the
    // frame the output would have taken next.
    int32_t halt();
    // The frame the output takes next.
    int32_t position() const;

    size_t readSamples(std::span<uint8_t> out) override;

private:
    void readAhead();
    bool waitForRoom(std::unique_lock<std::mutex>& lock);

    const FrameReader read_;
    mutable std::mutex mutex_;
    std::condition_variable room_;
    std::thread reader_;
    bool cancelled_ = false;
    bool readsDone_ = false;
    int32_t first_ = 0;
    int32_t end_ = 0;
    int32_t nextRead_ = 0;
    int64_t taken_ = 0;  // bytes the output took since first_
    std::function<void()> finished_;
    // Read-ahead ring of kAheadFrames frames.
    std::vector<uint8_t> ring_;
    size_t head_ = 0;
    size_t queued_ = 0;
};

}  // namespace lumbra
