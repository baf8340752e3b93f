#include "rip/track_audio.h"

#include <unistd.h>
#include <cerrno>

#include <algorithm>
#include <chrono>

#include "cdaccess/track_buffer.h"
#include "rip/rip_context.h"

namespace lumbra {
namespace {

// Spilled audio comes back in pieces of one CD read.
constexpr size_t kSpillPieceBytes = size_t(kRipReadFrames) * kFrameBytes;
// How often a reader that waits for memory looks at the stop flag and the other tracks' frees.
constexpr auto kMemoryPoll = std::chrono::milliseconds(20);

bool writeAll(int fd, std::span<const uint8_t> bytes, uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t done = ::pwrite(fd, bytes.data(), bytes.size(), off_t(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes = bytes.subspan(size_t(done));
        offset += uint64_t(done);
    }
    return true;
}

bool readAll(int fd, std::span<uint8_t> bytes, uint64_t offset) {
    while (!bytes.empty()) {
        const ssize_t done = ::pread(fd, bytes.data(), bytes.size(), off_t(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes = bytes.subspan(size_t(done));
        offset += uint64_t(done);
    }
    return true;
}

}  // namespace

bool AudioBudget::take(size_t bytes) {
    size_t left = left_.load();
    while (left >= bytes) {
        if (left_.compare_exchange_weak(left, left - bytes)) return true;
    }
    return false;
}

TrackAudio::TrackAudio(AudioBudget& budget, const SpillRoom& room) : budget_(budget), room_(room) {}

TrackAudio::~TrackAudio() {
    budget_.giveBack(memoryHeld_);
}

bool TrackAudio::append(std::span<const uint8_t> bytes, bool encoderTakes,
                        const std::atomic<int32_t>& running) {
    std::unique_lock lock(mutex_);
    while (!givenUp_) {
        const bool mayWait = encoderTakes || budget_.heldBeyond(memoryHeld_);
        if (fitsInMemory(bytes.size())) {
            pieces_.emplace_back(bytes.begin(), bytes.end());
        } else if (!spilled(bytes, mayWait)) {
            // No room to spare on the disk: the drive waits for an encoder instead.
            if (!mayWait || !running) return false;
            changed_.wait_for(lock, kMemoryPoll);
            continue;
        }
        changed_.notify_all();
        return true;
    }
    return false;
}

bool TrackAudio::fitsInMemory(size_t bytes) {
    if (spillPending() || !budget_.take(bytes)) return false;
    memoryHeld_ += bytes;
    return true;
}

// Spilling into the room the output files need is the last resort of a reader that cannot wait.
bool TrackAudio::spilled(std::span<const uint8_t> bytes, bool mayWait) {
    return (!mayWait || room_.roomFor(bytes.size())) && spill(bytes);
}

bool TrackAudio::spill(std::span<const uint8_t> bytes) {
    if (!spillFile_) spillFile_.emplace(room_.folder(), kTempPcmExtension);
    if (!spillFile_->isOpen()) {
        spillFile_.reset();  // tried again with the next read, when the disk may have room
        return false;
    }
    if (!writeAll(spillFile_->fd(), bytes, spillWritten_)) return false;
    spillWritten_ += bytes.size();
    return true;
}

void TrackAudio::close(bool whole) {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    whole_ = whole;
    changed_.notify_all();
}

TrackAudio::Taken TrackAudio::take(std::vector<uint8_t>& piece) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pieces_.empty() || spillPending() || closed_; });
    if (!pieces_.empty()) {
        piece = std::move(pieces_.front());
        pieces_.pop_front();
        memoryHeld_ -= piece.size();
        budget_.giveBack(piece.size());
    } else if (spillPending()) {
        if (!readSpilled(piece)) return Taken::Unreadable;
    } else {
        return whole_ ? Taken::End : Taken::Short;
    }
    changed_.notify_all();
    return Taken::Audio;
}

bool TrackAudio::readSpilled(std::vector<uint8_t>& piece) {
    piece.resize(size_t(std::min<uint64_t>(kSpillPieceBytes, spillWritten_ - spillRead_)));
    if (!readAll(spillFile_->fd(), piece, spillRead_)) return false;
    spillRead_ += piece.size();
    if (!spillPending()) {
        // Caught up: the file starts again from nothing, so the disk holds only what waits.
        spillRead_ = spillWritten_ = 0;
        if (::ftruncate(spillFile_->fd(), 0) != 0) spillFile_.reset();
    }
    return true;
}

void TrackAudio::giveUp() {
    const std::lock_guard lock(mutex_);
    givenUp_ = true;
    dropAll();
    changed_.notify_all();
}

void TrackAudio::dropAll() {
    pieces_.clear();
    budget_.giveBack(memoryHeld_);
    memoryHeld_ = 0;
    spillFile_.reset();
    spillRead_ = spillWritten_ = 0;
}

}  // namespace lumbra
