// The audio read of each read method, and the dispatch from a slot's read routine code.
#pragma once

#include <cstdint>

#include "cdaccess/read_routines.h"
#include "cdaccess/track_buffer.h"

namespace lumbra {

// One command carries the frame count in a single byte.
inline constexpr int kMaxFramesPerRead = 255;

// True when the buffer can hold its request and one command can ask for it; else last error -6.
bool fitsOneRead(const TrackBuffer& buffer);

// Reads the buffer's request with `method`, running the method's set-up first when the slot is
// not prepared: 1 with offset 0 and count frames of data, or 4 with -7 (bad handle), -11 (lock
// time-out), -6 (the buffer cannot hold the request, or more than 255 frames) or -4.
int readWithMethod(int handle, ReadMethod method, TrackBuffer& buffer);

// Runs the read routine with this code: a read method's, or the detection for 0.
int runReadRoutine(int32_t routine, int handle, TrackBuffer& buffer);

}  // namespace lumbra
