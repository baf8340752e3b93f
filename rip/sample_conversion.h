// CD audio (44,100 Hz, 16-bit stereo, little-endian) converted to the format an output declares:
// another rate (resampled with libsoxr), mono (the channels averaged) or 8 bits (unsigned).
// Every writer sends its samples through here, so no file ever holds 44.1 kHz stereo data
// under another format's header.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lumbra {

struct PcmFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;

    int bytesPerFrame() const { return channels * bitsPerSample / 8; }
    bool operator==(const PcmFormat&) const = default;
};

inline constexpr PcmFormat kCdAudioFormat{};

class SampleConverter {
public:
    // Converts to `target` (rates 8,000 to 48,000, 1 or 2 channels, 8 or 16 bits).
    explicit SampleConverter(const PcmFormat& target);
    SampleConverter(const SampleConverter&) = delete;
    SampleConverter& operator=(const SampleConverter&) = delete;
    ~SampleConverter();

    const PcmFormat& target() const { return target_; }
    // True when the target is CD audio itself: the bytes may be used as they are, uncopied.
    bool passesThrough() const { return target_ == kCdAudioFormat; }
    // False when the resampler could not be set up; convert() then gives nothing.
    bool isValid() const;

    // The converted bytes of `cdBytes` (whole 4-byte sample frames; a trailing partial frame is
    // dropped). The resampler holds back a little audio until finish().
    std::vector<uint8_t> convert(std::span<const uint8_t> cdBytes);
    // What the resampler still holds, at the end of the stream.
    std::vector<uint8_t> finish();

private:
    std::vector<uint8_t> toTarget(std::vector<int16_t> samples) const;

    PcmFormat target_;
    struct Resampler;
    std::unique_ptr<Resampler> resampler_;
};

}  // namespace lumbra
