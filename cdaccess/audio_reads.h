// Reading raw CD audio into track buffers with the handle's read method (found by test reads, see
// read_method_detection.h, while it is 0). The aligned reads (overlapped_read.h) and the rip job's
// reads (rip_reads.h) answer as these do.
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

}  // namespace lumbra
