#include "mp3_decoded_audio.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>

extern "C" {
#include <libswresample/swresample.h>
}

#include "ffmpeg_audio_decoder.h"
#include "signal_to_noise.h"

namespace lumbra::test {
namespace {

using Resampler = std::unique_ptr<SwrContext, ReleasedBy<swr_free>>;

// Converts the decoder's samples to 16-bit interleaved ones at the same rate and channels.
Resampler toSixteenBits(AVCodecContext& codec) {
    SwrContext* swr = nullptr;
    const int rate = codec.sample_rate;
    if (swr_alloc_set_opts2(&swr, &codec.ch_layout, AV_SAMPLE_FMT_S16, rate, &codec.ch_layout,
                            codec.sample_fmt, rate, 0, nullptr) < 0) {
        return nullptr;
    }
    Resampler resampler(swr);
    if (swr_init(swr) < 0) return nullptr;
    return resampler;
}

void append(SwrContext& resampler, const AVFrame& frame, DecodedAudio& audio) {
    const size_t at = audio.samples.size();
    audio.samples.resize(at + size_t(frame.nb_samples * audio.channels));
    auto* out = reinterpret_cast<uint8_t*>(audio.samples.data() + at);
    const int made =
        swr_convert(&resampler, &out, frame.nb_samples,
                    const_cast<const uint8_t**>(frame.extended_data), frame.nb_samples);
    audio.samples.resize(at + size_t(std::max(made, 0) * audio.channels));
}

// The SNR over source samples [first, last) with the decoded samples `shift` frames later.
double snrAt(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded, int channels,
             int shift, size_t first, size_t last) {
    SignalToNoise ratio;
    const ptrdiff_t offset = ptrdiff_t(shift) * channels;
    for (size_t i = first; i < last; ++i) {
        const ptrdiff_t j = ptrdiff_t(i) + offset;
        if (j < 0 || size_t(j) >= decoded.size()) continue;
        const double s = source[i];
        const double d = decoded[size_t(j)];
        ratio.add(s, s - d);
    }
    return ratio.db(1.0);
}

constexpr size_t kAlignmentFrames = 4096;

}  // namespace

DecodedAudio decodeAudioFile(const std::string& path) {
    // FFmpeg notes a stream's timestamps and guesses on stderr; the tests check what matters.
    av_log_set_level(AV_LOG_ERROR);
    FfmpegAudioDecoder decoder(path);
    if (!decoder.isOpen()) return {};
    AVCodecContext& codec = decoder.codec();
    const Resampler resampler = toSixteenBits(codec);
    if (!resampler) return {};
    DecodedAudio audio{codec.sample_rate, codec.ch_layout.nb_channels, {}};
    // As a player, it plays on past a packet that does not decode.
    decoder.decodeAll([&](const AVFrame& frame) {
        append(*resampler, frame, audio);
        return true;
    });
    return audio;
}

std::vector<int16_t> samplesOf(std::span<const uint8_t> bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

AlignedMatch alignedSnr(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded,
                        int channels, int maxShift) {
    // The shift is found on a stretch from the middle, then the whole track is measured.
    const size_t first = source.size() / 2 / size_t(channels) * size_t(channels);
    const size_t last = std::min(source.size(), first + kAlignmentFrames * size_t(channels));
    int bestShift = 0;
    double best = -1e9;
    for (int shift = -maxShift; shift <= maxShift; ++shift) {
        const double snr = snrAt(source, decoded, channels, shift, first, last);
        if (snr > best) std::tie(best, bestShift) = std::pair(snr, shift);
    }
    return {snrAt(source, decoded, channels, bestShift, 0, source.size()), bestShift};
}

}  // namespace lumbra::test
