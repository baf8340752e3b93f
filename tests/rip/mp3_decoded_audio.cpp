#include "mp3_decoded_audio.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <tuple>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace lumbra::test {
namespace {

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct ResamplerFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};

class Decoder {
public:
    bool open(const std::string& path) {
        AVFormatContext* format = nullptr;
        if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
        format_.reset(format);
        if (avformat_find_stream_info(format, nullptr) < 0) return false;
        const AVCodec* codec = nullptr;
        stream_ = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (stream_ < 0) return false;
        codec_.reset(avcodec_alloc_context3(codec));
        return avcodec_parameters_to_context(codec_.get(), format->streams[stream_]->codecpar) >=
                   0 &&
               avcodec_open2(codec_.get(), codec, nullptr) >= 0 && openResampler();
    }

    DecodedAudio decode() {
        DecodedAudio audio{codec_->sample_rate, codec_->ch_layout.nb_channels, {}};
        std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
        while (av_read_frame(format_.get(), packet.get()) >= 0) {
            if (packet->stream_index == stream_ &&
                avcodec_send_packet(codec_.get(), packet.get()) >= 0) {
                receive(audio);
            }
            av_packet_unref(packet.get());
        }
        avcodec_send_packet(codec_.get(), nullptr);
        receive(audio);
        return audio;
    }

private:
    bool openResampler() {
        SwrContext* swr = nullptr;
        const int rate = codec_->sample_rate;
        if (swr_alloc_set_opts2(&swr, &codec_->ch_layout, AV_SAMPLE_FMT_S16, rate,
                                &codec_->ch_layout, codec_->sample_fmt, rate, 0, nullptr) < 0) {
            return false;
        }
        resampler_.reset(swr);
        return swr_init(swr) >= 0;
    }

    void receive(DecodedAudio& audio) {
        std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
        while (avcodec_receive_frame(codec_.get(), frame.get()) >= 0) {
            const size_t at = audio.samples.size();
            audio.samples.resize(at + size_t(frame->nb_samples * audio.channels));
            auto* out = reinterpret_cast<uint8_t*>(audio.samples.data() + at);
            const int made =
                swr_convert(resampler_.get(), &out, frame->nb_samples,
                            const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            audio.samples.resize(at + size_t(std::max(made, 0) * audio.channels));
        }
    }

    std::unique_ptr<AVFormatContext, FormatCloser> format_;
    std::unique_ptr<AVCodecContext, CodecFreer> codec_;
    std::unique_ptr<SwrContext, ResamplerFreer> resampler_;
    int stream_ = -1;
};

// The SNR over source samples [first, last) with the decoded samples `shift` frames later.
double snrAt(const std::vector<int16_t>& source, const std::vector<int16_t>& decoded, int channels,
             int shift, size_t first, size_t last) {
    double signal = 0, noise = 0;
    const ptrdiff_t offset = ptrdiff_t(shift) * channels;
    for (size_t i = first; i < last; ++i) {
        const ptrdiff_t j = ptrdiff_t(i) + offset;
        if (j < 0 || size_t(j) >= decoded.size()) continue;
        const double s = source[i];
        const double d = decoded[size_t(j)];
        signal += s * s;
        noise += (s - d) * (s - d);
    }
    return 10 * std::log10(signal / std::max(noise, 1.0));
}

constexpr size_t kAlignmentFrames = 4096;

}  // namespace

DecodedAudio decodeAudioFile(const std::string& path) {
    // FFmpeg notes a stream's timestamps and guesses on stderr; the tests check what matters.
    av_log_set_level(AV_LOG_ERROR);
    Decoder decoder;
    return decoder.open(path) ? decoder.decode() : DecodedAudio{};
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
