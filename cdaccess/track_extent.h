// Where a track of a table of contents ends.
#pragma once

#include "cdaccess/disc_toc.h"

namespace lumbra {

// Between the sessions of an Enhanced CD lie the first session's lead-out and the second's
// lead-in and pregap; the table of contents counts them to the last audio track.
inline constexpr int32_t kSessionGapFrames = 11400;

// The frame after the last frame of the track at `position` (0-based) of an LBA table: the next
// descriptor's address, except on an Enhanced CD (audio tracks, then one data track), whose last
// audio track ends kSessionGapFrames before the data track. The table must be plausible.
int32_t trackEndLba(const TocBuffer& toc, int position);

}  // namespace lumbra
