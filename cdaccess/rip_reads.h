// The reads of the rip job: each request read whole, with retries and jitter correction as the
// user chose it.
#pragma once

#include <cstdint>

#include "cdaccess/track_buffer.h"

namespace lumbra {

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
