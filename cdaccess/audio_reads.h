// Reading raw CD audio into track buffers: plain reads with the handle's read method (found by
// test reads while it is 0), reads aligned to the end of the previous read to undo the jitter of
// drives that do not position exactly, and the reads of the rip job.
// Every read returns 1, or 4 with last error -7 (bad handle), -11 (slot lock time-out), -6 (the
// buffer cannot hold the request), -4 (a command failed; its status in last status) or -15 (no
// alignment found).
#pragma once

#include <cstdint>

#include "cdaccess/track_buffer.h"

namespace lumbra {

// Reads the buffer's request (start, count) with the slot's read routine; on 1 the buffer holds
// exactly those frames from offset 0.
int readAudioFrames(int handle, TrackBuffer& buffer);

// The read routine of read method 0: tries the methods in the order 2, 1, 8, 4, 5, 6, 7, up to
// three test reads each, and keeps the first whose read delivers. 1 with the buffer read and the
// method installed for the handle's later reads; 4 with detection installed again.
int detectReadMethod(int handle, TrackBuffer& buffer);

// Reads the buffer's request aligned to `reference`, the last compare frames of the previous read
// (the slot's compare and overlap frames). On 1 the buffer holds exactly the requested frames from
// its offset, and the reference holds their last compare frames. A reference that does not end
// where the request begins is emptied and the read goes unaligned, as it does after silence.
int readAudioFramesOverlapped(int handle, TrackBuffer& buffer, TrackBuffer& reference);

// Finds the first copy of the reference's first `compare` frames in the buffer's valid data, at
// a position p < length - compare frames, and moves the valid data to begin just after it, at
// frame reference start + compare. The valid data is then cut to whole frames. True when found,
// and when the reference is empty or silent (the buffer is kept as it is); false when not found,
// or when compare is below 1 or more than the reference holds.
bool alignToReference(TrackBuffer& buffer, TrackBuffer& reference, int compare);

// Jitter correction of the rip job's reads. A stored mode outside these three is kept as read and
// behaves as kJitterOnErrors.
enum JitterMode : int32_t { kJitterNever = 0, kJitterOnErrors = 1, kJitterAlways = 2 };

// Reads `count` frames from `start` for the rip job, with up to three attempts, by jitter mode:
// 0 plain reads; 2 every read aligned to the last audio read before it (across digital silence
// too); 1 and any other value plain reads until one fails, aligned reads from then on. On 1
// `*buffers.current` holds exactly the frames [start, start + count) from its offset, so
// consecutive calls deliver every frame once.
int readForRip(int handle, RipReadBuffers& buffers, int count, int start, int32_t jitterMode);

}  // namespace lumbra
