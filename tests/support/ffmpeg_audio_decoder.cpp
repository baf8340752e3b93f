#include "support/ffmpeg_audio_decoder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace lumbra::test {
namespace {

// The deleter of an FFmpeg object that `release` frees through its address.
template <auto release>
struct ReleasedBy {
    template <typename T>
    void operator()(T* object) const {
        release(&object);
    }
};

template <typename T, auto release>
using Owned = std::unique_ptr<T, ReleasedBy<release>>;

void addMetadata(std::map<std::string, std::string>& metadata, const AVDictionary* dictionary) {
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(dictionary, "", entry, AV_DICT_IGNORE_SUFFIX))) {
        std::string key = entry->key;
        for (char& c : key) c = char(std::tolower(static_cast<unsigned char>(c)));
        metadata.emplace(key, entry->value);
    }
}

}  // namespace

DecodedAudio decodeAudioFile(const std::string& path) {
    // FFmpeg notes a stream's timestamps and guesses on stderr; the tests check what matters.
    av_log_set_level(AV_LOG_ERROR);
    DecodedAudio audio;
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return audio;
    const Owned<AVFormatContext, avformat_close_input> input(opened);
    const AVCodec* codec = nullptr;
    const int stream = avformat_find_stream_info(opened, nullptr) < 0
                           ? -1
                           : av_find_best_stream(opened, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) return audio;
    const AVCodecParameters& parameters = *opened->streams[stream]->codecpar;
    const Owned<AVCodecContext, avcodec_free_context> decoder(avcodec_alloc_context3(codec));
    if (avcodec_parameters_to_context(decoder.get(), &parameters) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0)
        return audio;
    audio = {true,
             codec->name,
             parameters.sample_rate,
             parameters.ch_layout.nb_channels,
             parameters.bit_rate,
             double(opened->duration) / AV_TIME_BASE,
             {},
             {}};
    addMetadata(audio.metadata, opened->metadata);
    addMetadata(audio.metadata, opened->streams[stream]->metadata);
    const Owned<AVPacket, av_packet_free> packet(av_packet_alloc());
    const Owned<AVFrame, av_frame_free> frame(av_frame_alloc());
    // Every frame the decoder has ready, interleaved; false when it failed. The lossy decoders
    // give planar floats, the FLAC decoder interleaved 16-bit samples (exact as floats).
    const auto drain = [&] {
        int result;
        while ((result = avcodec_receive_frame(decoder.get(), frame.get())) >= 0) {
            if (frame->format == AV_SAMPLE_FMT_S16) {
                const auto* samples = reinterpret_cast<const int16_t*>(frame->extended_data[0]);
                for (int i = 0; i < frame->nb_samples * audio.channels; ++i)
                    audio.samples.push_back(float(samples[i]) / 32768.0f);
                continue;
            }
            if (frame->format != AV_SAMPLE_FMT_FLTP) return false;
            for (int i = 0; i < frame->nb_samples; ++i) {
                for (int ch = 0; ch < audio.channels; ++ch)
                    audio.samples.push_back(
                        reinterpret_cast<const float*>(frame->extended_data[ch])[i]);
            }
        }
        return result == AVERROR(EAGAIN) || result == AVERROR_EOF;
    };
    while (av_read_frame(opened, packet.get()) >= 0) {
        if (packet->stream_index == stream) {
            const bool sent = avcodec_send_packet(decoder.get(), packet.get()) >= 0;
            audio.complete = sent && drain() && audio.complete;
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    audio.complete = drain() && audio.complete;
    return audio;
}

std::vector<uint8_t> DecodedAudio::cdBytes() const {
    std::vector<uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (const float sample : samples) {
        const auto value = int16_t(std::lrint(std::clamp(sample * 32768.0f, -32768.f, 32767.f)));
        bytes.push_back(uint8_t(value));
        bytes.push_back(uint8_t(uint16_t(value) >> 8));
    }
    return bytes;
}

}  // namespace lumbra::test
