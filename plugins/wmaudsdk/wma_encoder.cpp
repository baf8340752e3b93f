#include "wma_encoder.h"

#include <algorithm>
#include <array>

namespace lumbra::wma {
namespace {

constexpr uint32_t kLowestRate = 8000;
constexpr uint32_t kHighestInputRate = 192000;
constexpr uint32_t kHighestEncoderRate = 48000;  // wmav2 refuses anything above

bool isMonoOrStereo(uint32_t channels) {
    return channels == 1 || channels == 2;
}

}  // namespace

bool WmaEncoder::acceptsInput(const WmaWaveFormat& f) {
    return f.formatTag == kWaveFormatPcm && f.bitsPerSample == 16 && isMonoOrStereo(f.channels) &&
           f.samplesPerSecond >= kLowestRate && f.samplesPerSecond <= kHighestInputRate &&
           f.blockAlign == f.channels * 2 &&
           f.averageBytesPerSecond == f.samplesPerSecond * f.blockAlign;
}

int32_t WmaEncoder::open(const WmaWaveFormat& input, const EncodingFormat& output,
                         bool globalHeader) {
    if (codec_) return kWmaUnexpected;
    const bool outputUsable = output.bitsPerSecond > 0 && isMonoOrStereo(output.channels) &&
                              output.sampleRate >= kLowestRate &&
                              output.sampleRate <= kHighestEncoderRate;
    if (!acceptsInput(input) || !outputUsable) return kWmaInvalidArgument;
    int32_t status = openCodec(output, globalHeader);
    if (status == kWmaOk) status = openConverter(input);
    if (status != kWmaOk) *this = WmaEncoder();
    return status;
}

int32_t WmaEncoder::openCodec(const EncodingFormat& output, bool globalHeader) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!encoder) return kWmaFailed;
    codec_.reset(avcodec_alloc_context3(encoder));
    frame_.reset(av_frame_alloc());
    packet_.reset(av_packet_alloc());
    if (!codec_ || !frame_ || !packet_) return kWmaOutOfMemory;
    codec_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    codec_->sample_rate = int(output.sampleRate);
    av_channel_layout_default(&codec_->ch_layout, int(output.channels));
    codec_->bit_rate = std::max<int64_t>(output.bitsPerSecond, kLowestBitsPerSecond);
    codec_->time_base = {1, codec_->sample_rate};
    if (globalHeader) codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int result = avcodec_open2(codec_.get(), encoder, nullptr);
    if (result < 0) return statusOf(result);
    frame_->format = codec_->sample_fmt;
    frame_->sample_rate = codec_->sample_rate;
    frame_->nb_samples = codec_->frame_size;
    result = av_channel_layout_copy(&frame_->ch_layout, &codec_->ch_layout);
    if (result >= 0) result = av_frame_get_buffer(frame_.get(), 0);
    return statusOf(result);
}

int32_t WmaEncoder::openConverter(const WmaWaveFormat& input) {
    AVChannelLayout inputLayout;
    av_channel_layout_default(&inputLayout, input.channels);
    SwrContext* resampler = nullptr;
    int result = swr_alloc_set_opts2(&resampler, &codec_->ch_layout, AV_SAMPLE_FMT_FLTP,
                                     codec_->sample_rate, &inputLayout, AV_SAMPLE_FMT_S16,
                                     int(input.samplesPerSecond), 0, nullptr);
    resampler_.reset(resampler);
    if (result >= 0) result = swr_init(resampler_.get());
    if (result < 0) return statusOf(result);
    const int channels = codec_->ch_layout.nb_channels;
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, codec_->frame_size));
    if (!fifo_) return kWmaOutOfMemory;
    converted_.assign(size_t(channels), {});
    inputFrameBytes_ = input.blockAlign;
    return kWmaOk;
}

int32_t WmaEncoder::encode(std::span<const uint8_t> pcm, const PacketSink& sink) {
    if (!fifo_) return kWmaUnexpected;
    const size_t frameBytes = size_t(inputFrameBytes_);
    if (!partial_.empty()) {
        const size_t taken = std::min(pcm.size(), frameBytes - partial_.size());
        partial_.insert(partial_.end(), pcm.begin(), pcm.begin() + ptrdiff_t(taken));
        pcm = pcm.subspan(taken);
        if (partial_.size() < frameBytes) return kWmaOk;
        const int32_t status = convert(partial_.data(), 1);
        partial_.clear();
        if (status != kWmaOk) return status;
    }
    const size_t whole = pcm.size() / frameBytes;
    const int32_t status = convert(pcm.data(), int(whole));
    if (status != kWmaOk) return status;
    partial_.assign(pcm.begin() + ptrdiff_t(whole * frameBytes), pcm.end());
    return encodeHeldFrames(codec_->frame_size, sink);
}

int32_t WmaEncoder::flush(const PacketSink& sink) {
    if (!fifo_) return kWmaUnexpected;
    partial_.clear();  // less than one sample frame: nothing to encode
    int32_t status = convert(nullptr, 0);
    if (status == kWmaOk) status = encodeHeldFrames(1, sink);
    if (status == kWmaOk) status = send(nullptr, sink);
    return status;
}

// `samples` null drains what the resampler holds.
int32_t WmaEncoder::convert(const uint8_t* samples, int count) {
    const int room = swr_get_out_samples(resampler_.get(), count);
    if (room <= 0) return statusOf(room);
    std::array<uint8_t*, AV_NUM_DATA_POINTERS> planes{};
    for (size_t c = 0; c < converted_.size(); ++c) {
        if (converted_[c].size() < size_t(room)) converted_[c].resize(size_t(room));
        planes[c] = reinterpret_cast<uint8_t*>(converted_[c].data());
    }
    const uint8_t* input[] = {samples};
    const int made =
        swr_convert(resampler_.get(), planes.data(), room, samples ? input : nullptr, count);
    if (made < 0) return statusOf(made);
    if (av_audio_fifo_write(fifo_.get(), reinterpret_cast<void**>(planes.data()), made) < made) {
        return kWmaOutOfMemory;
    }
    return kWmaOk;
}

// Only the stream's last frame may be shorter than the encoder's frame size: the caller passes
// a `smallest` of 1 for it alone.
int32_t WmaEncoder::encodeHeldFrames(int smallest, const PacketSink& sink) {
    const int frameSize = codec_->frame_size;
    for (int held = av_audio_fifo_size(fifo_.get()); held > 0 && held >= smallest;
         held = av_audio_fifo_size(fifo_.get())) {
        const int count = std::min(held, frameSize);
        frame_->nb_samples = frameSize;
        int result = av_frame_make_writable(frame_.get());
        if (result < 0) return statusOf(result);
        if (av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), count) <
            count) {
            return kWmaFailed;
        }
        frame_->nb_samples = count;
        frame_->pts = nextPts_;
        nextPts_ += count;
        const int32_t status = send(frame_.get(), sink);
        if (status != kWmaOk) return status;
    }
    return kWmaOk;
}

int32_t WmaEncoder::send(const AVFrame* frame, const PacketSink& sink) {
    int result = avcodec_send_frame(codec_.get(), frame);
    if (result < 0) return statusOf(result);
    for (;;) {
        result = avcodec_receive_packet(codec_.get(), packet_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return kWmaOk;
        if (result < 0) return statusOf(result);
        const int32_t status = sink(*packet_, codec_->time_base);
        av_packet_unref(packet_.get());
        if (status != kWmaOk) return status;
    }
}

}  // namespace lumbra::wma
