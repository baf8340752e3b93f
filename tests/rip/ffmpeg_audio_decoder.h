// A file's audio stream read back through FFmpeg's demuxers and decoders, frame by frame, for the
// tests that check what the MP3 and WMA writers produced.
#pragma once

#include <functional>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace lumbra::test {

// The deleter of an FFmpeg object that `release` frees through its address.
template <auto release>
struct ReleasedBy {
    template <typename T>
    void operator()(T* object) const {
        release(&object);
    }
};

class FfmpegAudioDecoder {
public:
    // Opens the file's best audio stream and its decoder; isOpen() tells whether that worked.
    explicit FfmpegAudioDecoder(const std::string& path);

    bool isOpen() const { return open_; }
    const AVFormatContext& container() const { return *input_; }
    const AVCodecParameters& parameters() const { return *input_->streams[stream_]->codecpar; }
    AVCodecContext& codec() { return *decoder_; }

    // Decodes the whole stream, then the decoder's tail, handing each frame to `onFrame`. False
    // when a packet or a frame did not decode or `onFrame` refused a frame; decoding goes on
    // past them all the same.
    bool decodeAll(const std::function<bool(const AVFrame&)>& onFrame);

private:
    // Hands every frame the decoder has ready to `onFrame`; false as decodeAll.
    bool drain(const std::function<bool(const AVFrame&)>& onFrame, AVFrame& frame);

    std::unique_ptr<AVFormatContext, ReleasedBy<avformat_close_input>> input_;
    std::unique_ptr<AVCodecContext, ReleasedBy<avcodec_free_context>> decoder_;
    int stream_ = -1;
    bool open_ = false;
};

}  // namespace lumbra::test
