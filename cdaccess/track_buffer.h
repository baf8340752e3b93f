// Buffers that audio reads fill: a header saying which frames they hold, and the data area.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cdaccess/cd_frame.h"

namespace lumbra {

struct TrackBufferHeader {
    int32_t start = 0;     // first frame of the request; after a read, of the valid data
    int32_t count = 0;     // frames requested; after a read, frames of valid data
    int32_t capacity = 0;  // bytes in the data area
    int32_t length = 0;    // bytes of valid data
    int32_t status = 0;    // 1 after a successful read
    int32_t offset = 0;    // where the valid data begins in the data area
};
static_assert(sizeof(TrackBufferHeader) == 24);
static_assert(offsetof(TrackBufferHeader, capacity) == 8 &&
              offsetof(TrackBufferHeader, offset) == 20);

struct TrackBuffer : TrackBufferHeader {
    std::vector<uint8_t> data;  // `capacity` bytes; only forFrames sizes it

    static TrackBuffer forFrames(int frames);

    // Asks for `frameCount` frames from `firstFrame` and forgets the data held so far.
    void setRequest(int32_t firstFrame, int32_t frameCount);
    // Drops the data: start, count and length 0.
    void empty();
    bool holds(int64_t frames) const;
    std::span<const uint8_t> validData() const;
};

// Frames per read of the rip job, and the frames a jitter-corrected read adds to its request:
// the overlap in front, and as many behind to cover a drive that lands early.
inline constexpr int kRipReadFrames = 26;
inline constexpr int kRipOverlapFrames = 3;
inline constexpr int kOverlappedGrowthFrames = 2 * kRipOverlapFrames;

// What aligned reads know of the frames before their next request: the last audible frames
// read, exactly placed, and where the reads ended. The frames between them are digital silence,
// so a read after silence can still be aligned, to the audio before it.
struct AlignmentAnchor {
    TrackBuffer frames;  // compare frames from `frames.start`; empty when nothing audible is known
    int32_t end = 0;     // the frame after the last one read

    bool known() const { return frames.count > 0; }
};

// What readForRip works with during one track; the rip job makes a fresh set for each track.
// `current` points into the set itself, and copies point into their own buffers.
struct RipReadBuffers {
    RipReadBuffers();
    RipReadBuffers(const RipReadBuffers& other);
    RipReadBuffers& operator=(const RipReadBuffers& other);

    TrackBuffer a = TrackBuffer::forFrames(kRipReadFrames + kOverlappedGrowthFrames);
    TrackBuffer b = TrackBuffer::forFrames(kRipReadFrames + kOverlappedGrowthFrames);
    AlignmentAnchor anchor;     // follows every read of modes 1 and 2
    TrackBuffer* current = &a;  // where the data of the last read is

    // Mode 1 alternates between a and b: clear means a holds the previous read.
    bool toggle = false;
    // Mode 1 once it had to correct a read: see readForRip.
    bool correcting = false;
    // Frames read again after a read that failed, for the rip log.
    int32_t framesReRead = 0;
};

}  // namespace lumbra
