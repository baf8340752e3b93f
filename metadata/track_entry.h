// One track of the disc in the process-wide track list.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "metadata/track_verification.h"
#include "settings/encoder_settings.h"

namespace lumbra {

// A track's status: written by the rip job's threads and by the stop command, read by whoever
// shows it, so it is read and written whole. Copies carry its value.
class SharedStatus {
public:
    SharedStatus(int32_t value = 0) : value_(value) {}
    SharedStatus(const SharedStatus& other) : value_(other.value_.load()) {}
    SharedStatus& operator=(const SharedStatus& other) { return *this = int32_t(other); }
    SharedStatus& operator=(int32_t value) {
        value_.store(value);
        return *this;
    }
    operator int32_t() const { return value_.load(); }

    // Sets `value` unless the status is already above it; true when it did.
    bool raise(int32_t value) {
        return replaceIf([value](int32_t now) { return now <= value; }, value);
    }
    // Sets `value` when the status is below `limit`; true when it did.
    bool replaceBelow(int32_t limit, int32_t value) {
        return replaceIf([limit](int32_t now) { return now < limit; }, value);
    }

private:
    template <typename Wanted>
    bool replaceIf(Wanted wanted, int32_t value) {
        int32_t now = value_.load();
        while (wanted(now)) {
            if (value_.compare_exchange_weak(now, value)) return true;
        }
        return false;
    }

    std::atomic<int32_t> value_;
};

struct TrackEntry {
    int32_t number = 0;    // list position + 1 after a refresh; the row once shown
    std::string title;     // "音轨 01" until titles are looked up
    std::string artist;    // the track's own credit; empty when it is the disc's artist
    std::string isrc;      // the recording's ISRC as the disc gives it; empty when it has none
    int32_t checked = 0;   // ticked for ripping
    int32_t selected = 0;  // selected row
    int32_t start = 0;     // first frame (logical block address)
    int32_t length = 0;    // frames
    int32_t seconds = 0;   // length / 75
    SharedStatus status;   // TrackStatus: percent while working, then done, cancelled or failed
    int32_t format = 0;    // OutputFormat
    EncoderSlots encoderSettings{};
    // Written by the rip job before the track's status becomes final; read once it is.
    TrackVerification verification;
};

// Gives the track the defaults of its own format.
void applyEncoderDefaults(TrackEntry& track, const EncoderSettings& encoder);

}  // namespace lumbra
