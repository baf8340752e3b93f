#include "rip/sample_conversion.h"

#include <soxr.h>
#include <bit>
#include <cstring>

namespace lumbra {

static_assert(std::endian::native == std::endian::little, "CD samples are used in place");

struct SampleConverter::Resampler {
    soxr_t handle = nullptr;
    int channels = 0;

    Resampler(double from, double to, int channelCount) : channels(channelCount) {
        soxr_error_t error = nullptr;
        soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
        // The dither's noise is seeded from the clock, so a track would never come out the same
        // twice; rounding keeps every rip of a track identical.
        io.flags |= SOXR_NO_DITHER;
        const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
        handle = soxr_create(from, to, unsigned(channelCount), &error, &io, &quality, nullptr);
        if (error) handle = nullptr;
    }
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;
    ~Resampler() {
        if (handle) soxr_delete(handle);
    }

    // `input` null flushes what the resampler holds.
    std::vector<int16_t> process(const int16_t* input, size_t inputFrames, double ratio) {
        std::vector<int16_t> out;
        size_t room = size_t(double(inputFrames) * ratio) + 1024;
        std::vector<int16_t> block(room * size_t(channels));
        for (;;) {
            size_t used = 0, made = 0;
            if (soxr_process(handle, input, inputFrames, &used, block.data(), room, &made)) break;
            out.insert(out.end(), block.begin(),
                       block.begin() + ptrdiff_t(made * size_t(channels)));
            if (input) {
                input += used * size_t(channels);
                inputFrames -= used;
                if (inputFrames == 0 && made < room) break;
            } else if (made < room) {
                break;
            }
        }
        return out;
    }
};

SampleConverter::SampleConverter(const PcmFormat& target) : target_(target) {
    if (target.sampleRate != kCdAudioFormat.sampleRate) {
        resampler_ = std::make_unique<Resampler>(kCdAudioFormat.sampleRate, target.sampleRate,
                                                 target.channels);
    }
}

SampleConverter::~SampleConverter() = default;

bool SampleConverter::isValid() const {
    const bool shapeOk = (target_.channels == 1 || target_.channels == 2) &&
                         (target_.bitsPerSample == 8 || target_.bitsPerSample == 16);
    return shapeOk && (!resampler_ || resampler_->handle);
}

std::vector<uint8_t> SampleConverter::convert(std::span<const uint8_t> cdBytes) {
    if (!isValid()) return {};
    const size_t frames = cdBytes.size() / 4;
    if (target_ == kCdAudioFormat)
        return {cdBytes.begin(), cdBytes.begin() + ptrdiff_t(frames * 4)};
    std::vector<int16_t> samples(frames * 2);
    std::memcpy(samples.data(), cdBytes.data(), frames * 4);
    if (target_.channels == 1) {
        for (size_t i = 0; i < frames; ++i) {
            samples[i] = int16_t((int32_t(samples[2 * i]) + samples[2 * i + 1]) / 2);
        }
        samples.resize(frames);
    }
    if (resampler_) {
        const double ratio = double(target_.sampleRate) / kCdAudioFormat.sampleRate;
        samples = resampler_->process(samples.data(), frames, ratio);
    }
    return toTarget(std::move(samples));
}

std::vector<uint8_t> SampleConverter::finish() {
    if (!isValid() || !resampler_) return {};
    return toTarget(resampler_->process(nullptr, 0, 1.0));
}

std::vector<uint8_t> SampleConverter::toTarget(std::vector<int16_t> samples) const {
    std::vector<uint8_t> out;
    if (target_.bitsPerSample == 8) {
        out.resize(samples.size());
        // 8-bit WAV samples are unsigned with 128 as silence.
        for (size_t i = 0; i < samples.size(); ++i) out[i] = uint8_t((samples[i] >> 8) + 128);
        return out;
    }
    out.resize(samples.size() * 2);
    if (!out.empty()) std::memcpy(out.data(), samples.data(), out.size());
    return out;
}

}  // namespace lumbra
