#include "wma_decoded_audio.h"

#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace lumbra::test {
namespace {

struct InputRelease {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct DecoderRelease {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameRelease {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketRelease {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

void appendMono(const AVFrame& frame, std::vector<float>& mono) {
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
}

bool drain(AVCodecContext& decoder, AVFrame& frame, std::vector<float>& mono) {
    int result;
    while ((result = avcodec_receive_frame(&decoder, &frame)) >= 0) {
        if (frame.format != AV_SAMPLE_FMT_FLTP && frame.format != AV_SAMPLE_FMT_FLT) return false;
        appendMono(frame, mono);
    }
    return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
}

double snrAt(const std::vector<float>& decoded, const std::vector<float>& source, int delay) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < source.size() && i + size_t(delay) < decoded.size(); ++i) {
        const double error = decoded[i + size_t(delay)] - source[i];
        signal += double(source[i]) * source[i];
        noise += error * error;
    }
    return 10 * std::log10(signal / std::max(noise, 1e-12));
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
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return std::nullopt;
    std::unique_ptr<AVFormatContext, InputRelease> input(opened);
    if (avformat_find_stream_info(input.get(), nullptr) < 0) return std::nullopt;
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) return std::nullopt;
    std::unique_ptr<AVCodecContext, DecoderRelease> decoder(avcodec_alloc_context3(codec));
    const AVCodecParameters& parameters = *input->streams[stream]->codecpar;
    if (avcodec_parameters_to_context(decoder.get(), &parameters) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return std::nullopt;
    }
    DecodedAudio audio{codec->name,
                       parameters.sample_rate,
                       parameters.ch_layout.nb_channels,
                       parameters.bit_rate,
                       double(input->duration) / AV_TIME_BASE,
                       {}};
    std::unique_ptr<AVPacket, PacketRelease> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameRelease> frame(av_frame_alloc());
    while (av_read_frame(input.get(), packet.get()) >= 0) {
        const bool ours = packet->stream_index == stream;
        const bool sent = !ours || avcodec_send_packet(decoder.get(), packet.get()) >= 0;
        av_packet_unref(packet.get());
        if (!sent || !drain(*decoder, *frame, audio.mono)) return std::nullopt;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (!drain(*decoder, *frame, audio.mono)) return std::nullopt;
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
