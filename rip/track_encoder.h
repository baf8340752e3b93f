// One output format's encoder: what turns a track's CD audio into the bytes of its file. The
// driver (track_writer.h) reads the CD or an audio source, stops, reports progress and keeps or
// deletes the file; an encoder only encodes. It keeps everything it
// uses in itself (a copy of the track and disc, its own buffers), so encoders of different tracks
// may run at the same time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cdaccess/cd_frame.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"
#include "platform/prompts.h"
#include "rip/byte_sink.h"

namespace lumbra {

enum class EncodeResult {
    Ok,
    Failed,       // the encoder could not go on; the track fails
    WriteFailed,  // the sink refused bytes; the track fails with the driver's write-error box
};

// The result of one step, with what the user must be told about it (shown by the driver, in
// order, before it acts on the result).
struct EncodeStep {
    EncodeResult result = EncodeResult::Ok;
    std::vector<Message> messages;

    bool ok() const { return result == EncodeResult::Ok; }
};

// Everything an encoder may know about its track, taken when the track starts.
struct TrackToEncode {
    TrackEntry track;        // number, title and the settings of its format
    int32_t trackCount = 0;  // tracks on the disc
    DiscRecord disc;
    bool tags = false;       // the tag setting, for formats whose tags can be switched off
    std::string outputPath;  // the file as the user knows it, for messages
};

class TrackEncoder {
public:
    virtual ~TrackEncoder() = default;

    // Sets the stream up and writes what comes before the audio. The sink outlives the encoder.
    virtual EncodeStep start(ByteSink& sink) = 0;
    // Encodes CD audio (44,100 Hz, 16-bit stereo, little-endian) of any length.
    virtual EncodeStep feed(std::span<const uint8_t> cdAudio) = 0;
    // Ends a stream whose audio is all fed and writes what follows the audio.
    virtual EncodeStep finish() = 0;
    // The finished file has been closed at `path`; a format whose library completes it in place
    // does that now.
    virtual void completeFile(const std::string& path) { (void)path; }
    // At most the bytes a second of audio takes in the file, for keeping the disk room the file
    // will need; CD audio's own rate unless the format knows better.
    virtual uint64_t bytesPerSecond() const { return uint64_t(kFrameBytes) * kFramesPerSecond; }
};

// Made once per job for a format the job meets, and kept until the job ends (with any library
// its encoders share).
class EncoderFactory {
public:
    virtual ~EncoderFactory() = default;

    // Asked before each track of the format. A text says why the track cannot be written (the
    // error box shows it; the track is passed over with its status left at 0).
    virtual std::optional<std::string> unavailable() { return std::nullopt; }
    virtual std::unique_ptr<TrackEncoder> create(const TrackToEncode& track) = 0;
};

// A factory for an encoder that needs nothing beyond its track.
template <typename Encoder>
class PlainEncoderFactory : public EncoderFactory {
public:
    std::unique_ptr<TrackEncoder> create(const TrackToEncode& track) override {
        return std::make_unique<Encoder>(track);
    }
};

// A step that failed, with the rip error box's text when there is one.
EncodeStep encoderFailed(const std::string& errorText = "");
// Ok when the bytes were written, else WriteFailed.
EncodeStep written(bool allWritten);
// The rip job's error box (caption "Lumbra CD Ripper 错误").
Message ripErrorMessage(const std::string& text);

}  // namespace lumbra
