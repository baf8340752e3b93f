// FLAC output: the CD audio as read, compressed without loss by libFLAC at the track's level.
// With verify on, libFLAC decodes every frame it encodes and compares it with the input, and a
// difference fails the track. The stream carries the track's comments, a seek point every ten
// seconds and padding for later tag edits; libFLAC ends it by rewriting STREAMINFO (sample count,
// MD5 of the audio) and the seek table in place, so the sink must take rewrites.
#pragma once

#include <cstdint>
#include <memory>

#include "rip/track_encoder.h"
#include "rip/whole_sample_frames.h"

namespace lumbra {

// Seconds of audio between two seek points.
inline constexpr int kFlacSeekPointSeconds = 10;
// Room left after the comments, so that a tag editor can grow them without rewriting the file.
inline constexpr unsigned kFlacPaddingBytes = 8192;

class FlacEncoder : public TrackEncoder {
public:
    explicit FlacEncoder(const TrackToEncode& track);
    FlacEncoder(const FlacEncoder&) = delete;
    FlacEncoder& operator=(const FlacEncoder&) = delete;
    ~FlacEncoder() override;

    // Fails with a box when libFLAC refuses the set-up.
    EncodeStep start(ByteSink& sink) override;
    // A verify difference fails with a box naming the first sample that differs; a sink that
    // refuses bytes gives WriteFailed.
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    EncodeStep finish() override;

private:
    class Stream;

    EncodeStep failed() const;

    TrackToEncode track_;
    std::unique_ptr<Stream> stream_;
    WholeSampleFrames frames_;
};

}  // namespace lumbra
