#include "asf_output.h"

#include <unistd.h>

#include "rip/wma_wide_path.h"
#include "rip/wma_writer_interface.h"

namespace lumbra::wma {

int32_t statusOf(int averror) {
    if (averror >= 0) return kWmaOk;
    if (averror == AVERROR(ENOMEM)) return kWmaOutOfMemory;
    if (averror == AVERROR(EINVAL)) return kWmaInvalidArgument;
    return kWmaFailed;
}

AsfOutput::~AsfOutput() {
    if (context_ && !headerWritten_) {
        context_.reset();
        unlink(path_.c_str());
    }
}

int32_t AsfOutput::create(const std::string& path) {
    if (context_) return kWmaUnexpected;
    AVFormatContext* context = nullptr;
    int result = avformat_alloc_output_context2(&context, nullptr, "asf", nullptr);
    if (result < 0) return statusOf(result);
    context_.reset(context);
    // The "file:" prefix keeps a colon in a file name from being read as a protocol name.
    result = avio_open(&context_->pb, ("file:" + path).c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        context_.reset();
        return statusOf(result);
    }
    path_ = path;
    return kWmaOk;
}

int32_t AsfOutput::setText(const char16_t* name, const std::optional<std::string>& text) {
    if (!context_ || headerWritten_) return kWmaUnexpected;
    const auto key = fromWidePath(name);
    if (!key || !text) return kWmaInvalidArgument;
    // The muxer writes title and author into the content description and the rest, under the
    // names given, into the extended one.
    return statusOf(av_dict_set(&context_->metadata, key->c_str(), text->c_str(), 0));
}

bool AsfOutput::wantsGlobalHeader() const {
    return context_ && (context_->oformat->flags & AVFMT_GLOBALHEADER);
}

int32_t AsfOutput::begin(const AVCodecContext& encoder) {
    if (!context_ || headerWritten_) return kWmaUnexpected;
    stream_ = avformat_new_stream(context_.get(), nullptr);
    if (!stream_) return kWmaOutOfMemory;
    int result = avcodec_parameters_from_context(stream_->codecpar, &encoder);
    if (result < 0) return statusOf(result);
    stream_->time_base = encoder.time_base;
    result = avformat_write_header(context_.get(), nullptr);
    if (result < 0) return statusOf(result);
    headerWritten_ = true;
    return kWmaOk;
}

int32_t AsfOutput::write(AVPacket& packet, AVRational encoderTimeBase) {
    if (!headerWritten_) return kWmaUnexpected;
    av_packet_rescale_ts(&packet, encoderTimeBase, stream_->time_base);
    packet.stream_index = stream_->index;
    const int result = av_write_frame(context_.get(), &packet);
    av_packet_unref(&packet);
    return statusOf(result);
}

int32_t AsfOutput::close() {
    if (!headerWritten_ || !context_) return kWmaUnexpected;
    int result = av_write_trailer(context_.get());
    avio_flush(context_->pb);
    if (result >= 0 && context_->pb->error < 0) result = context_->pb->error;
    const int closed = avio_closep(&context_->pb);
    if (result >= 0) result = closed;
    context_.reset();
    return statusOf(result);
}

}  // namespace lumbra::wma
