// Finding a drive's read offset from a disc in the AccurateRip database: each of the disc's first
// tracks is read once with a margin on either side, and the v1 checksum of every candidate
// offset's window is compared with the database's pressings.
#pragma once

#include <cstdint>
#include <vector>

#include "metadata/accuraterip_verdict.h"
#include "rip/rip_context.h"

namespace lumbra {

// Samples read on either side of a track: the candidate offsets run from -kOffsetMargin to
// +kOffsetMargin.
inline constexpr int32_t kOffsetMargin = kMaxReadOffset;

// A track as read for detection: its v1 checksum at every offset from -kOffsetMargin to
// +kOffsetMargin, in that order (SlidingV1).
struct MarginRead {
    int audioNumber = 0;  // from 1
    std::vector<uint32_t> sums;
};

struct OffsetCandidate {
    int32_t offset = 0;
    int tracks = 0;      // tracks whose checksum at this offset a pressing has
    int confidence = 0;  // the lowest of those tracks' highest confidences
};

// The offsets at which at least `minimumTracks` of the reads match a pressing's track of
// confidence above 0, best first (more tracks, then more confidence).
std::vector<OffsetCandidate> matchingOffsets(const std::vector<MarginRead>& reads,
                                             const AccurateRipLookup& lookup, int minimumTracks);

enum class OffsetSearch { Found, NotInDatabase, Unavailable, NoMatch, ReadFailed, Stopped };

struct OffsetDetection {
    OffsetSearch outcome = OffsetSearch::Unavailable;
    std::vector<OffsetCandidate> candidates;  // for Found
};

// Reads up to `tracksToRead` of the first audio tracks of the list through the session's drive
// (with its jitter mode, without offset correction) and matches them against the database,
// looking the disc up unless the verification holds an answer. Runs on the caller's thread.
OffsetDetection detectReadOffset(const RipSession& session, std::vector<TrackEntry>& tracks,
                                 RipVerification& verification, int tracksToRead = 2);

}  // namespace lumbra
