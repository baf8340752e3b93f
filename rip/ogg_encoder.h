// Ogg Vorbis output: the encoder set up from the track's settings with the comments of its track
// and disc, the samples converted to the rate and channels of the stream, and the pages written
// as libogg completes them.
#pragma once

#include <memory>
#include <optional>

#include "rip/sample_conversion.h"
#include "rip/track_encoder.h"
#include "rip/vorbis_encoder.h"

namespace lumbra {

class OggEncoder : public TrackEncoder {
public:
    explicit OggEncoder(const TrackToEncode& track);

    // Fails with a box naming the settings when libvorbis refuses them (or they contradict
    // themselves); nothing has been written then.
    EncodeStep start(ByteSink& sink) override;
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    // The last page carries the end-of-stream flag. A stream cut short has none.
    EncodeStep finish() override;
    // The maximum bitrate when the settings bound it, else what the highest quality takes.
    uint64_t bytesPerSecond() const override;

private:
    EncodeStep writePages();

    TrackToEncode track_;
    std::unique_ptr<VorbisEncoder> encoder_;
    std::optional<SampleConverter> converter_;
    ByteSink* sink_ = nullptr;
};

}  // namespace lumbra
