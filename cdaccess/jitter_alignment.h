// Pieces of the jitter correction shared by the aligned reads.
#pragma once

#include "cdaccess/track_buffer.h"

namespace lumbra {

// True when the valid data is empty or all zero bytes: silence has nothing to align to.
bool isDigitalSilence(const TrackBuffer& buffer);

// Makes `reference` hold the last `compare` frames of the buffer's valid data, from offset 0;
// empties it when either buffer is too short for them.
void keepTail(const TrackBuffer& buffer, TrackBuffer& reference, int compare);

}  // namespace lumbra
