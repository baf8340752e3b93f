// Opus output in Ogg: the CD audio encoded by libopusenc at the track's bit rate (VBR). The
// library resamples to Opus's 48 kHz itself and writes the pre-skip and the end trimming, so a
// player decodes exactly the track's length; the comments are those of a FLAC file.
#pragma once

#include <memory>

#include "rip/track_encoder.h"
#include "rip/whole_sample_frames.h"

namespace lumbra {

class OggOpusEncoder : public TrackEncoder {
public:
    explicit OggOpusEncoder(const TrackToEncode& track);
    OggOpusEncoder(const OggOpusEncoder&) = delete;
    OggOpusEncoder& operator=(const OggOpusEncoder&) = delete;
    ~OggOpusEncoder() override;

    // Fails with a box when libopusenc refuses the set-up; nothing has been written then.
    EncodeStep start(ByteSink& sink) override;
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    // The last page carries the end-of-stream flag and the granule position that trims the
    // stream to the track's length.
    EncodeStep finish() override;

private:
    class Stream;

    EncodeStep result(int error);

    TrackToEncode track_;
    std::unique_ptr<Stream> stream_;
    WholeSampleFrames frames_;
    ByteSink* sink_ = nullptr;
};

}  // namespace lumbra
