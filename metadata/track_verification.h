// What the rip learnt about a track's audio: its checksums and the database's verdict on them.
#pragma once

#include <cstdint>

#include "metadata/accuraterip_verdict.h"

namespace lumbra {

struct TrackChecksumValues {
    uint32_t v1 = 0;
    uint32_t v2 = 0;
    uint32_t crc32 = 0;
};

struct TrackVerification {
    bool measured = false;  // the whole track was read and its checksums taken
    TrackChecksumValues sums;
    AccurateRipVerdict verdict;  // None when no lookup was made
    int32_t framesReRead = 0;    // frames read again after a failed read
};

}  // namespace lumbra
