// Reads aligned to the end of the previous read, to undo the jitter of drives that do not position
// exactly: against a reference of the previous read's last frames, or, for the rip job, against
// an anchor that carries what is known of the audio before each request from one read to the next.
#pragma once

#include "cdaccess/track_buffer.h"

namespace lumbra {

// Reads the buffer's request aligned to `reference`, the last compare frames of the previous read
// (the slot's compare and overlap frames). On 1 the buffer holds exactly the requested frames from
// its offset, and the reference holds their last compare frames. A reference that does not end
// where the request begins is emptied and the read goes unaligned, as it does after silence.
int readAudioFramesOverlapped(int handle, TrackBuffer& buffer, TrackBuffer& reference);

// Reads the buffer's whole request, aligned to the anchor when it leads up to the request
// (unaligned otherwise), and moves the anchor on past it. 1, or 4 with the codes of
// readAudioFramesOverlapped; the anchor is kept as it was when the read fails.
int readAlignedFrames(int handle, TrackBuffer& buffer, AlignmentAnchor& anchor);

// Moves the anchor on past a plain read that delivered exactly its request.
void followPlainRead(int handle, const TrackBuffer& read, AlignmentAnchor& anchor);

}  // namespace lumbra
