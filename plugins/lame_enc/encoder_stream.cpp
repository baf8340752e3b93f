#include "plugins/lame_enc/encoder_stream.h"

#include <lame/lame.h>
#include <cstring>

#include "plugins/lame_enc/stream_settings.h"

namespace lumbra::lame_plugin {
namespace {

// An MPEG-1 frame's samples per channel; the encoder takes one frame's worth per call.
constexpr uint32_t kFrameSamples = 1152;

// libmp3lame's worst case for n samples per channel: 1.25 n + 7200 bytes.
constexpr uint32_t outputBytesFor(uint32_t samplesPerChannel) {
    return samplesPerChannel * 5 / 4 + 7200;
}

}  // namespace

void LameCloser::operator()(lame_global_struct* lame) const {
    lame_close(lame);
}

std::unique_ptr<EncoderStream> EncoderStream::open(const LameStreamConfig& config,
                                                   LameResult& result) {
    result = checkRecord(config);
    if (result != kLameOk) return nullptr;
    LameHandle lame(lame_init());
    if (!lame || !configureEncoder(lame.get(), config)) {
        result = kLameRefused;
        return nullptr;
    }
    return std::make_unique<EncoderStream>(std::move(lame), inputChannels(config));
}

EncoderStream::EncoderStream(LameHandle lame, int channels)
    : lame_(std::move(lame)),
      channels_(channels),
      samplesPerChunk_(kFrameSamples * uint32_t(channels)),
      outputBytes_(outputBytesFor(kFrameSamples)),
      samples_(samplesPerChunk_) {}

LameResult EncoderStream::encode(uint32_t sampleCount, const int16_t* samples, uint8_t* output,
                                 uint32_t& produced) {
    std::lock_guard lock(mutex_);
    produced = 0;
    if (finished_) return kLameBadHandle;
    if (sampleCount > samplesPerChunk_ || (sampleCount && (!samples || !output)))
        return kLameBadArgument;
    const int perChannel = int(sampleCount) / channels_;
    if (perChannel == 0) return kLameOk;
    std::memcpy(samples_.data(), samples, size_t(perChannel * channels_) * sizeof(int16_t));
    const int bytes = channels_ == 1
                          ? lame_encode_buffer(lame_.get(), samples_.data(), samples_.data(),
                                               perChannel, output, int(outputBytes_))
                          : lame_encode_buffer_interleaved(lame_.get(), samples_.data(), perChannel,
                                                           output, int(outputBytes_));
    if (bytes < 0) return kLameEncodeFailed;
    produced = uint32_t(bytes);
    produced_ += produced;
    return kLameOk;
}

LameResult EncoderStream::finish(uint8_t* output, uint32_t& produced,
                                 std::vector<uint8_t>& headerFrame, uint64_t& streamBytes) {
    std::lock_guard lock(mutex_);
    produced = 0;
    if (finished_) return kLameBadHandle;
    if (!output) return kLameBadArgument;
    finished_ = true;
    const int bytes = lame_encode_flush(lame_.get(), output, int(outputBytes_));
    if (bytes < 0) return kLameEncodeFailed;
    produced = uint32_t(bytes);
    produced_ += produced;
    streamBytes = produced_;
    headerFrame.clear();
    if (lame_get_bWriteVbrTag(lame_.get())) {
        headerFrame.resize(lame_get_lametag_frame(lame_.get(), nullptr, 0));
        headerFrame.resize(
            lame_get_lametag_frame(lame_.get(), headerFrame.data(), headerFrame.size()));
    }
    return kLameOk;
}

}  // namespace lumbra::lame_plugin
