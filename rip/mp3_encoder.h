// MP3 output through the encoder library loaded for the job: the samples converted to the format
// the stream record declares, encoded in the blocks the library takes; with tags on, an ID3
// version 2 tag before the audio and a version 1 tag after it; and the header frame completed by
// the library once the file is closed.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "platform/shared_library.h"
#include "rip/lame_stream.h"
#include "rip/sample_conversion.h"
#include "rip/track_encoder.h"

namespace lumbra {

// Loads the library for the first MP3 track of the job and keeps it for the job; a track that
// cannot have it is passed over, and the next MP3 track tries again.
class Mp3EncoderFactory : public EncoderFactory {
public:
    std::optional<std::string> unavailable() override;
    std::unique_ptr<TrackEncoder> create(const TrackToEncode& track) override;

private:
    std::unique_ptr<platform::SharedLibrary> library_;
    std::mutex headerFrames_;
};

class Mp3Encoder : public TrackEncoder {
public:
    // The library must hold the six entry points and outlive the encoder. The library finds a
    // closed stream's header frame by the size of its file, so the tracks of a job that encode at
    // once take turns with `headerFrames` from closing their streams until their files ask.
    Mp3Encoder(platform::SharedLibrary& library, std::mutex& headerFrames,
               const TrackToEncode& track);

    EncodeStep start(ByteSink& sink) override;
    EncodeStep feed(std::span<const uint8_t> cdAudio) override;
    EncodeStep finish() override;
    // Flushes a stream that had no encoder failure, then tags the file.
    void completeFile(const std::string& path) override;
    // No MPEG-1 layer III frame holds more than 320 kbit/s.
    uint64_t bytesPerSecond() const override { return 320000 / 8; }

private:
    EncodeStep encodeBlocks(std::span<const uint8_t> samples);
    EncodeStep flush();
    EncodeStep tag();

    LameStream encoder_;
    std::unique_lock<std::mutex> headerFrameTurn_;
    TrackToEncode track_;
    std::optional<SampleConverter> converter_;
    ByteSink* sink_ = nullptr;
    bool streaming_ = false;  // the stream is open and no encode has failed
};

}  // namespace lumbra
