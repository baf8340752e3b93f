// Watches one track's audio as the drive delivers it and, once the track has been read whole,
// writes its checksums and the database's verdict into the track's entry.
#pragma once

#include <optional>
#include <span>

#include "metadata/track_entry.h"
#include "rip/rip_verification.h"
#include "rip/track_checksums.h"

namespace lumbra {

class TrackVerifier {
public:
    // `position`: the track's place in the list the verification describes.
    TrackVerifier(const RipVerification& verification, TrackEntry& track, size_t position);

    void add(std::span<const uint8_t> cdAudio) { checksums_.add(cdAudio); }
    // The CRC32 of a test read of the track before this one, to be compared with it.
    void testedWith(uint32_t crc32) { testCrc32_ = crc32; }
    // The track was read whole, `framesReRead` of its frames more than once, `silentSamples` of
    // its samples silence from beyond the disc's audio.
    void complete(int32_t framesReRead, int64_t silentSamples);

private:
    const RipVerification& verification_;
    TrackEntry& track_;
    int audioNumber_;
    TrackChecksums checksums_;
    std::optional<uint32_t> testCrc32_;
};

}  // namespace lumbra
