// WAV output: the 44-byte header, then the samples in the format the track's WAV settings
// declare; the header is written again with the data size when the audio is complete.
#pragma once

#include <optional>

#include "rip/sample_conversion.h"
#include "rip/track_encoder.h"

namespace lumbra {

class WavEncoder : public TrackEncoder {
public:
    explicit WavEncoder(const TrackToEncode& track);

    EncodeStep start(ByteSink& sink) override;
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    EncodeStep finish() override;

private:
    EncodeStep append(std::span<const uint8_t> bytes);

    SampleConverter converter_;
    ByteSink* sink_ = nullptr;
    uint32_t dataSize_ = 0;
};

}  // namespace lumbra
