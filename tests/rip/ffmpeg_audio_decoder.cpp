#include "ffmpeg_audio_decoder.h"

namespace lumbra::test {

FfmpegAudioDecoder::FfmpegAudioDecoder(const std::string& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return;
    input_.reset(opened);
    if (avformat_find_stream_info(opened, nullptr) < 0) return;
    const AVCodec* codec = nullptr;
    stream_ = av_find_best_stream(opened, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream_ < 0) return;
    decoder_.reset(avcodec_alloc_context3(codec));
    open_ = avcodec_parameters_to_context(decoder_.get(), &parameters()) >= 0 &&
            avcodec_open2(decoder_.get(), codec, nullptr) >= 0;
}

bool FfmpegAudioDecoder::decodeAll(const std::function<bool(const AVFrame&)>& onFrame) {
    bool clean = true;
    const std::unique_ptr<AVPacket, ReleasedBy<av_packet_free>> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, ReleasedBy<av_frame_free>> frame(av_frame_alloc());
    while (av_read_frame(input_.get(), packet.get()) >= 0) {
        if (packet->stream_index == stream_) {
            const bool sent = avcodec_send_packet(decoder_.get(), packet.get()) >= 0;
            clean = sent && drain(onFrame, *frame) && clean;
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder_.get(), nullptr);
    return drain(onFrame, *frame) && clean;
}

bool FfmpegAudioDecoder::drain(const std::function<bool(const AVFrame&)>& onFrame, AVFrame& frame) {
    bool clean = true;
    int result;
    while ((result = avcodec_receive_frame(decoder_.get(), &frame)) >= 0) {
        clean = onFrame(frame) && clean;
    }
    return clean && (result == AVERROR(EAGAIN) || result == AVERROR_EOF);
}

}  // namespace lumbra::test
