#include "wma_decoded_audio.h"

#include "ffmpeg_audio_decoder.h"
#include "signal_to_noise.h"

namespace lumbra::test {
namespace {

// Appends the frame's samples, channels averaged; false for a sample format other than float.
bool appendMono(const AVFrame& frame, std::vector<float>& mono) {
    if (frame.format != AV_SAMPLE_FMT_FLTP && frame.format != AV_SAMPLE_FMT_FLT) return false;
    const int channels = frame.ch_layout.nb_channels;
    const bool planar = frame.format == AV_SAMPLE_FMT_FLTP;
    for (int i = 0; i < frame.nb_samples; ++i) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
            const auto* samples =
                reinterpret_cast<const float*>(frame.extended_data[planar ? c : 0]);
            sum += planar ? samples[i] : samples[i * channels + c];
        }
        mono.push_back(sum / float(channels));
    }
    return true;
}

double snrAt(const std::vector<float>& decoded, const std::vector<float>& source, int delay) {
    SignalToNoise ratio;
    for (size_t i = 0; i < source.size() && i + size_t(delay) < decoded.size(); ++i) {
        ratio.add(source[i], decoded[i + size_t(delay)] - source[i]);
    }
    return ratio.db(1e-12);
}

// A lossy codec replaces the source's hiss with hiss of its own; averaging over a few samples
// keeps the music and most of the hiss out of the comparison.
std::vector<float> smoothed(const std::vector<float>& samples) {
    constexpr size_t kWidth = 16;
    std::vector<float> out(samples.size() >= kWidth ? samples.size() - kWidth + 1 : 0);
    double sum = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        sum += samples[i];
        if (i >= kWidth) sum -= samples[i - kWidth];
        if (i + 1 >= kWidth) out[i + 1 - kWidth] = float(sum / kWidth);
    }
    return out;
}

}  // namespace

std::optional<DecodedAudio> decodeAudioFile(const std::string& path) {
    FfmpegAudioDecoder decoder(path);
    if (!decoder.isOpen()) return std::nullopt;
    const AVCodecParameters& parameters = decoder.parameters();
    DecodedAudio audio{decoder.codec().codec->name,
                       parameters.sample_rate,
                       parameters.ch_layout.nb_channels,
                       parameters.bit_rate,
                       double(decoder.container().duration) / AV_TIME_BASE,
                       {}};
    if (!decoder.decodeAll([&](const AVFrame& frame) { return appendMono(frame, audio.mono); }))
        return std::nullopt;
    return audio;
}

std::vector<float> monoOfCdAudio(const std::vector<uint8_t>& cd) {
    std::vector<float> mono(cd.size() / 4);
    for (size_t i = 0; i < mono.size(); ++i) {
        const auto left = int16_t(cd[4 * i] | cd[4 * i + 1] << 8);
        const auto right = int16_t(cd[4 * i + 2] | cd[4 * i + 3] << 8);
        mono[i] = float(left + right) / 65536.0f;
    }
    return mono;
}

// The delay is found on a stretch from the middle, where the codec has settled, then the
// whole overlap is measured.
double alignedSnrDb(const std::vector<float>& decodedAudio, const std::vector<float>& sourceAudio,
                    int maxDelay) {
    const std::vector<float> decoded = smoothed(decodedAudio);
    const std::vector<float> source = smoothed(sourceAudio);
    constexpr size_t kProbe = 8192;
    if (source.size() < 2 * kProbe) return snrAt(decoded, source, 0);
    const size_t from = source.size() / 2 - kProbe / 2;
    const std::vector<float> probe(source.begin() + ptrdiff_t(from),
                                   source.begin() + ptrdiff_t(from + kProbe));
    int best = 0;
    double leastError = 1e300;
    for (int delay = 0; delay <= maxDelay && from + size_t(delay) + kProbe <= decoded.size();
         ++delay) {
        double error = 0;
        for (size_t i = 0; i < kProbe; ++i) {
            const double difference = decoded[from + size_t(delay) + i] - probe[i];
            error += difference * difference;
        }
        if (error < leastError) {
            leastError = error;
            best = delay;
        }
    }
    return snrAt(decoded, source, best);
}

}  // namespace lumbra::test
