#include "rip/mp3_encoder.h"

#include <algorithm>

#include "platform/text_encoding.h"
#include "rip/encoder_library.h"
#include "rip/id3v1_tag.h"
#include "rip/id3v2_tag.h"
#include "rip/lame_stream_setup.h"
#include "rip/rip_messages.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

constexpr size_t kSystemTextLimit = 127;

}  // namespace

std::optional<std::string> Mp3EncoderFactory::unavailable() {
    if (library_) return std::nullopt;
    LoadedEncoderLibrary loaded = loadEncoderLibrary(kLameLibraryName, kLameEntryPointNames);
    if (!loaded.loaded) {
        return std::string(rip_messages::kLameLoadError) + "\n" +
               platform::utf8Prefix(loaded.error, kSystemTextLimit);
    }
    if (!loaded.entryPointsFound) return std::string(rip_messages::kLameEntryError);
    library_ = std::move(loaded.library);
    return std::nullopt;
}

std::unique_ptr<TrackEncoder> Mp3EncoderFactory::create(const TrackToEncode& track) {
    return std::make_unique<Mp3Encoder>(*library_, headerFrames_, track);
}

Mp3Encoder::Mp3Encoder(platform::SharedLibrary& library, std::mutex& headerFrames,
                       const TrackToEncode& track)
    : encoder_(library), headerFrameTurn_(headerFrames, std::defer_lock), track_(track) {}

// The encoder refusing the track's settings fails only this track; the box says which settings.
// The version 2 tag goes first, so the encoder's header frame is the first frame after it.
EncodeStep Mp3Encoder::start(ByteSink& sink) {
    sink_ = &sink;
    if (track_.tags && !sink.write(id3v2Tag(tagValuesOf(track_)))) return written(false);
    const LameStreamConfig config = lameStreamConfigFor(mp3FromSlots(track_.track.encoderSettings));
    converter_.emplace(declaredInputFormat(config));
    if (!converter_->isValid() || !encoder_.open(config)) {
        return encoderFailed(rip_messages::kMp3EncoderSetupFailed + describeStreamSettings(config));
    }
    streaming_ = true;
    return {};
}

EncodeStep Mp3Encoder::feed(std::span<const uint8_t> cdAudio) {
    return encodeBlocks(converter_->convert(cdAudio));
}

EncodeStep Mp3Encoder::finish() {
    const EncodeStep flushed = flush();
    return flushed.ok() ? tag() : flushed;
}

void Mp3Encoder::completeFile(const std::string& path) {
    encoder_.writeVbrHeader(path);
    if (headerFrameTurn_.owns_lock()) headerFrameTurn_.unlock();
}

EncodeStep Mp3Encoder::encodeBlocks(std::span<const uint8_t> samples) {
    if (!streaming_) return encoderFailed();
    const size_t blockBytes = encoder_.samplesPerChunk() * 2;
    for (size_t at = 0; at < samples.size(); at += blockBytes) {
        const auto bytes =
            encoder_.encode(samples.subspan(at, std::min(blockBytes, samples.size() - at)));
        if (!bytes) {
            streaming_ = false;
            return encoderFailed();
        }
        if (!sink_->write(*bytes)) return written(false);
    }
    return {};
}

// The conversion's tail and the encoder's last bytes; the stream is closed after them, as the
// library wants before anything else touches the file.
EncodeStep Mp3Encoder::flush() {
    const EncodeStep tail = encodeBlocks(converter_->finish());
    if (!tail.ok()) return tail;
    headerFrameTurn_.lock();
    const auto last = encoder_.finish();
    streaming_ = false;
    encoder_.close();
    if (!last) return encoderFailed();
    return written(sink_->write(*last));
}

EncodeStep Mp3Encoder::tag() {
    if (!track_.tags) return {};
    return written(sink_->write(id3v1Tag(track_.track, track_.disc)));
}

}  // namespace lumbra
