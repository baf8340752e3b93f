// Read-offset correction: every drive starts its reads a fixed number of samples early or late,
// the same on every read, so jitter correction cannot see it. A rip that knows the offset reads
// the frames around the track that hold its true samples.
#pragma once

#include <cstdint>
#include <vector>

#include "cdaccess/disc_toc.h"

namespace lumbra {

// The offsets a drive may have, in stereo samples.
inline constexpr int32_t kMaxReadOffset = 3000;

// Frames [first, end) that the drive reads as audio without a break.
struct FrameExtent {
    int32_t first = 0;
    int32_t end = 0;
};

struct ReadOffsetCorrection {
    // With the database's sign: a drive listed +6 is corrected by taking the samples 6 later.
    int32_t samples = 0;
    // Where the drive can deliver audio; empty: everything from frame 0 on.
    std::vector<FrameExtent> audio;
};

// The runs of adjacent audio tracks of a table of contents in LBA form, each up to where its last
// track ends (trackEndLba): the frames a corrected read may borrow from the neighbours.
std::vector<FrameExtent> audioExtents(const TocBuffer& lbaToc);

// How a track's corrected samples are made: silence for samples the drive cannot deliver (before
// its audio begins, past its end), then the samples of frames read from the drive, less the
// samples in front of the track in the first of those frames.
struct CorrectedReadPlan {
    int64_t silenceBefore = 0;  // samples
    int32_t firstFrame = 0;     // first frame to read
    int32_t frames = 0;         // frames to read; 0 when the drive holds none of the samples
    int32_t skip = 0;           // samples of the first frame that come before the track
    int64_t samples = 0;        // samples taken from the frames read
    int64_t silenceAfter = 0;   // samples
};

// The plan for the track at [start, start + length) frames.
CorrectedReadPlan planCorrectedRead(int32_t start, int32_t length,
                                    const ReadOffsetCorrection& correction);

}  // namespace lumbra
