// Pieces of the jitter correction shared by the aligned reads.
#pragma once

#include "cdaccess/track_buffer.h"

namespace lumbra {

// The most frames one read command asks for: the count travels in one byte.
inline constexpr int32_t kMaxFramesPerCommand = 255;

// True when the valid data is empty or all zero bytes: silence has nothing to align to.
bool isDigitalSilence(const TrackBuffer& buffer);

// Makes `reference` hold the last `compare` frames of the buffer's valid data, from offset 0;
// empties it when either buffer is too short for them.
void keepTail(const TrackBuffer& buffer, TrackBuffer& reference, int compare);

// The anchor after `delivered`, exact frames that begin where `before` ended: its last audible
// compare frames, or `before`'s frames when `delivered` is silent. Nothing audible is known when
// `delivered` does not begin at `before.end` or its audio ends less than compare frames in.
AlignmentAnchor anchorAfter(const AlignmentAnchor& before, const TrackBuffer& delivered,
                            int compare);

// Finds the first copy of the anchor's frames in the piece's valid data and moves the valid data
// to begin at `wanted`, past the silence that follows the anchor; cut to whole frames. False
// when there is no copy, or the frames after it up to `wanted` are not silent.
bool alignAfterAnchor(TrackBuffer& piece, const AlignmentAnchor& anchor, int compare,
                      int32_t wanted);

// Finds the first copy of the reference's first `compare` frames in the buffer's valid data, at
// a position p < length - compare frames, and moves the valid data to begin just after it, at
// frame reference start + compare. The valid data is then cut to whole frames. True when found,
// and when the reference is empty or silent (the buffer is kept as it is); false when not found,
// or when compare is below 1 or more than the reference holds.
bool alignToReference(TrackBuffer& buffer, TrackBuffer& reference, int compare);

}  // namespace lumbra
