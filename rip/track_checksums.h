// The checksums of one track's CD audio, taken from the samples as the drive delivers them: the
// AccurateRip v1 and v2 checksums and the CRC32 of the whole track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "metadata/track_verification.h"

namespace lumbra {

class TrackChecksums {
public:
    // `samples`: the track's length in stereo samples. The database leaves out the first five
    // frames but one sample of the disc's first audio track and the last five frames of its last,
    // where drives differ in what they can read.
    TrackChecksums(uint32_t samples, bool firstAudioTrack, bool lastAudioTrack);

    // The next bytes of the track in disc order, any number; a sample split between two calls is
    // taken whole once its last byte arrives.
    void add(std::span<const uint8_t> cdAudio);

    // The checksums of what was added so far.
    TrackChecksumValues values() const;

private:
    void addSamples(const uint8_t* bytes, size_t count);

    uint32_t from_ = 1;  // multipliers counted: [from_, to_]
    uint32_t to_ = 0;
    uint32_t position_ = 1;  // the multiplier of the next sample
    uint32_t v1_ = 0;
    uint32_t v2High_ = 0;
    uint32_t crc_ = 0;
    uint8_t pending_[4] = {};
    size_t pendingBytes_ = 0;
};

}  // namespace lumbra
