// 16-bit PCM in, wmav2 packets out: the input is converted to the encoder's planar float format
// (and its rate and channels when they differ) and handed over in frames of exactly the size
// the encoder asks for, the rest held until the next call.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "ffmpeg_owners.h"
#include "rip/wma_writer_interface.h"

namespace lumbra::wma {

// wmav2 cannot encode below this rate; lower requests get it.
inline constexpr int64_t kLowestBitsPerSecond = 24000;

struct EncodingFormat {
    uint32_t bitsPerSecond;
    uint32_t sampleRate;
    uint32_t channels;
};

// Receives each encoded packet with the encoder's time base; a negative status stops encoding.
using PacketSink = std::function<int32_t(AVPacket& packet, AVRational timeBase)>;

class WmaEncoder {
public:
    // Whether `format` is 16-bit PCM, mono or stereo, at a rate the converter handles.
    static bool acceptsInput(const WmaWaveFormat& format);

    // A status code: kWmaInvalidArgument for a format the encoder cannot take.
    int32_t open(const WmaWaveFormat& input, const EncodingFormat& output, bool globalHeader);
    const AVCodecContext& codec() const { return *codec_; }

    int32_t encode(std::span<const uint8_t> pcm, const PacketSink& sink);
    // Encodes what is held back and drains the encoder.
    int32_t flush(const PacketSink& sink);

private:
    int32_t openCodec(const EncodingFormat& output, bool globalHeader);
    int32_t openConverter(const WmaWaveFormat& input);
    int32_t convert(const uint8_t* samples, int count);
    int32_t encodeHeldFrames(int smallest, const PacketSink& sink);
    int32_t send(const AVFrame* frame, const PacketSink& sink);

    CodecContext codec_;
    Resampler resampler_;
    SampleFifo fifo_;
    Frame frame_;
    Packet packet_;
    std::vector<std::vector<float>> converted_;  // one plane per channel
    std::vector<uint8_t> partial_;               // the start of a sample frame split across calls
    int inputFrameBytes_ = 0;
    int64_t nextPts_ = 0;
};

}  // namespace lumbra::wma
