// Reads back what the WMA writers produced, through FFmpeg's demuxers and decoders, and
// compares it with the CD audio it came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::test {

struct DecodedAudio {
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    int64_t bitRate = 0;
    double containerSeconds = 0;  // the duration the file declares
    std::vector<float> mono;      // every decoded sample, channels averaged

    double decodedSeconds() const { return sampleRate ? double(mono.size()) / sampleRate : 0; }
};

// Nothing when the file cannot be opened or decoded.
std::optional<DecodedAudio> decodeAudioFile(const std::string& path);

// CD audio (16-bit stereo) as mono samples in [-1, 1].
std::vector<float> monoOfCdAudio(const std::vector<uint8_t>& cd);

// Signal-to-noise ratio in dB of `decoded` against `source` at the same rate, after shifting
// `decoded` by the encoder delay (up to `maxDelay` samples) that lines the two up best.
double alignedSnrDb(const std::vector<float>& decoded, const std::vector<float>& source,
                    int maxDelay = 8192);

}  // namespace lumbra::test
