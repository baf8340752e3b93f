// What the rip learnt about a track's audio: its checksums and the database's verdict on them.
#pragma once

#include <cstdint>
#include <optional>

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
    // Samples the read offset moved before the disc's audio or past its end, written as silence.
    int64_t silentSamples = 0;
    // Test and copy: the CRC32 of the first read, which wrote nothing.
    std::optional<uint32_t> testCrc32;

    // The two reads of test and copy gave different audio.
    bool readsDiffer() const { return testCrc32 && *testCrc32 != sums.crc32; }
};

}  // namespace lumbra
