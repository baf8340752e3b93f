// The CD audio of one track on its way from the drive to the thread that encodes it. The reader
// appends what it reads and the encoder takes it in the same order, at its own pace. Audio held
// in memory counts against the job's budget; past it, the audio goes to a part file in the output
// folder until the encoder has caught up, so the drive seldom waits for an encoder and memory stays
// bounded however far the reader runs ahead. The part file takes only the disk's room that the
// output files can spare (spill_room.h).
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/part_file.h"
#include "rip/audio_source.h"
#include "rip/spill_room.h"

namespace lumbra {

// The bytes of audio that every track of a job may hold in memory together.
class AudioBudget {
public:
    explicit AudioBudget(size_t bytes) : size_(bytes), left_(bytes) {}
    AudioBudget(const AudioBudget&) = delete;
    AudioBudget& operator=(const AudioBudget&) = delete;

    // True when `bytes` were left and are now taken.
    bool take(size_t bytes);
    void giveBack(size_t bytes) { left_ += bytes; }
    // True when more than `mine` is taken: other tracks hold memory that their encoders free.
    bool heldBeyond(size_t mine) const { return size_ - left_.load() > mine; }

private:
    const size_t size_;
    std::atomic<size_t> left_;
};

class TrackAudio {
public:
    // What take() found: End once every piece has been taken and the reader read the whole
    // track, Short when it stopped short of the end (stop, read error), Unreadable when the
    // spilled audio could not be read back.
    using Taken = AudioSource::Next;

    // The room's folder gets the part file when one is needed.
    TrackAudio(AudioBudget& budget, const SpillRoom& room);
    TrackAudio(const TrackAudio&) = delete;
    TrackAudio& operator=(const TrackAudio&) = delete;
    // Gives its memory back and deletes its part file.
    ~TrackAudio();

    // The reader's side. Appends a read's audio. When neither memory nor the room for spilling
    // can take it, it waits for memory to be freed: by the encoder of this track when it takes the
    // track along (`encoderTakes`), else by those of other tracks. False, with the audio dropped,
    // when nothing can free memory and the disk refuses it, once the encoder has given the track
    // up, and when `running` is cleared while it waits.
    bool append(std::span<const uint8_t> bytes, bool encoderTakes,
                const std::atomic<int32_t>& running);
    // No more audio comes; `whole` tells whether the reader read the track to its end.
    void close(bool whole);

    // The encoder's side. Waits for the next piece, which replaces `piece`.
    Taken take(std::vector<uint8_t>& piece);
    // The encoder wants no more audio: later appends are refused and what is held is freed.
    void giveUp();

private:
    bool fitsInMemory(size_t bytes);
    bool spilled(std::span<const uint8_t> bytes, bool mayWait);
    bool spill(std::span<const uint8_t> bytes);
    bool readSpilled(std::vector<uint8_t>& piece);
    void dropAll();
    bool spillPending() const { return spillRead_ < spillWritten_; }

    AudioBudget& budget_;
    const SpillRoom& room_;
    std::mutex mutex_;
    std::condition_variable changed_;
    // Pieces in memory are always older than the spilled audio still unread: a piece goes to
    // memory only while nothing spilled waits.
    std::deque<std::vector<uint8_t>> pieces_;
    size_t memoryHeld_ = 0;
    std::optional<platform::PartFile> spillFile_;
    uint64_t spillRead_ = 0;
    uint64_t spillWritten_ = 0;
    bool closed_ = false;
    bool whole_ = false;
    bool givenUp_ = false;
};

}  // namespace lumbra
