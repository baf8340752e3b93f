// An audio file decoded with FFmpeg's libraries, as a player hears it: a LAME header's encoder
// delay and padding are taken off.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumbra::test {

struct DecodedAudio {
    int sampleRate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved

    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
};

// The first audio stream of the file as 16-bit samples; empty when it cannot be decoded.
DecodedAudio decodeAudioFile(const std::string& path);

// CD bytes (16-bit little-endian) as samples.
std::vector<int16_t> samplesOf(std::span<const uint8_t> bytes);

struct AlignedMatch {
    double snrDb;
    int shiftFrames;  // how many sample frames later the decoded audio runs
};

// The signal-to-noise ratio of `decoded` against `source` (both interleaved with `channels`),
// at the shift of up to `maxShift` sample frames that lines them up best.
AlignedMatch alignedSnr(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded,
                        int channels, int maxShift);

}  // namespace lumbra::test
