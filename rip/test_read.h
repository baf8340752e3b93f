// The first read of test and copy: the track read whole without writing anything, for the CRC32
// that the second read, which writes the file, is compared with.
#pragma once

#include <cstdint>
#include <optional>

#include "rip/rip_context.h"

namespace lumbra {

// Where the test read leaves the track's progress: the copy fills the rest.
inline constexpr int32_t kTestReadShare = 50;

// The CRC32 of the track's samples as the drive delivered them, corrected by the session's read
// offset; a stretch the drive could not read counts as silence, so that the reads differ. Posts
// the reading's progress. nullopt when the rip was stopped (the track then ends cancelled) or
// the drive could not be had (left for the second read to report).
std::optional<uint32_t> testReadCrc32(const RipSession& session, TrackEntry& track);

}  // namespace lumbra
