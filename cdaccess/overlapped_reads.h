// The aligned reads of the rip job, which carry what they know of the audio before each request
// from one read to the next.
#pragma once

#include "cdaccess/track_buffer.h"

namespace lumbra {

// Reads the buffer's whole request, aligned to the anchor when it leads up to the request
// (unaligned otherwise), and moves the anchor on past it. 1, or 4 with the codes of
// readAudioFramesOverlapped; the anchor is kept as it was when the read fails.
int readAlignedFrames(int handle, TrackBuffer& buffer, AlignmentAnchor& anchor);

// Moves the anchor on past a plain read that delivered exactly its request.
void followPlainRead(int handle, const TrackBuffer& read, AlignmentAnchor& anchor);

}  // namespace lumbra
