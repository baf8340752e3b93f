// Owners for the FFmpeg objects the writer holds, each released by the call FFmpeg pairs with its
// allocation, and the mapping of FFmpeg's errors to the writer interface's status codes.
#pragma once

#include <cstdint>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

namespace lumbra::wma {

struct CodecContextRelease {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameRelease {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketRelease {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ResamplerRelease {
    void operator()(SwrContext* resampler) const { swr_free(&resampler); }
};
struct FifoRelease {
    void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};
// An output context together with the file it opened.
struct OutputContextRelease {
    void operator()(AVFormatContext* context) const {
        if (context->pb) avio_closep(&context->pb);
        avformat_free_context(context);
    }
};

using CodecContext = std::unique_ptr<AVCodecContext, CodecContextRelease>;
using Frame = std::unique_ptr<AVFrame, FrameRelease>;
using Packet = std::unique_ptr<AVPacket, PacketRelease>;
using Resampler = std::unique_ptr<SwrContext, ResamplerRelease>;
using SampleFifo = std::unique_ptr<AVAudioFifo, FifoRelease>;
using OutputContext = std::unique_ptr<AVFormatContext, OutputContextRelease>;

// The writer interface's status code for an FFmpeg error.
int32_t statusOf(int averror);

}  // namespace lumbra::wma
