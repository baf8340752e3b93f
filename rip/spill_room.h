// Room on the output folder's disk for audio that waits for an encoder. The files of the tracks
// in flight need that disk too, so spilled audio stops short of the room they are expected to
// take: a reader that finds none waits for an encoder rather than fill the disk the music needs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumbra {

class SpillRoom {
public:
    using FreeBytes = std::function<std::optional<uint64_t>(const std::string& folder)>;

    // Room kept for one track's file while the reservation lives.
    class Reservation {
    public:
        Reservation(SpillRoom& room, uint64_t bytes);
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;
        ~Reservation();

    private:
        SpillRoom& room_;
        const uint64_t bytes_;
    };

    // Spills into `folder` ("" is the current folder), asking `freeBytes` what is left there.
    explicit SpillRoom(std::string folder, FreeBytes freeBytes = defaultFreeBytes());
    SpillRoom(const SpillRoom&) = delete;
    SpillRoom& operator=(const SpillRoom&) = delete;

    const std::string& folder() const { return folder_; }
    // True when `bytes` more leave room for every reservation, or when the free room is unknown.
    bool roomFor(uint64_t bytes) const;

    // A generous estimate of the file of `seconds` of audio at `bytesPerSecond`.
    static uint64_t fileEstimate(uint64_t seconds, uint64_t bytesPerSecond);

private:
    static FreeBytes defaultFreeBytes();

    const std::string folder_;
    const FreeBytes freeBytes_;
    std::atomic<uint64_t> reserved_{0};
};

}  // namespace lumbra
