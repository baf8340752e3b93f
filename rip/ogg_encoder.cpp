#include "rip/ogg_encoder.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include "rip/rip_messages.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

// Seeded with the time in seconds, so two tracks started in the same second share a serial;
// each is a stream of its own file, where that does no harm.
int drawStreamSerial() {
    std::srand(unsigned(std::time(nullptr)));
    return std::rand() % 32768;
}

}  // namespace

OggEncoder::OggEncoder(const TrackToEncode& track) : track_(track) {}

uint64_t OggEncoder::bytesPerSecond() const {
    // Quality 10 on CD audio stays under 500 kbit/s.
    constexpr long kHighestQualityBitrate = 500000;
    const VorbisSetUp setUp = vorbisSetUpOf(oggFromSlots(track_.track.encoderSettings));
    const long bound = setUp.maxBitrate > 0 ? setUp.maxBitrate : kHighestQualityBitrate;
    return uint64_t(std::max(bound, setUp.nominalBitrate)) / 8;
}

EncodeStep OggEncoder::start(ByteSink& sink) {
    sink_ = &sink;
    const VorbisSetUp setUp = vorbisSetUpOf(oggFromSlots(track_.track.encoderSettings));
    if (!hasContradictoryBounds(setUp)) {
        encoder_ = VorbisEncoder::create(setUp, vorbisCommentsFor(tagValuesOf(track_)));
    }
    if (!encoder_) {
        return encoderFailed(rip_messages::kOggSettingsRefused + describeVorbisSetUp(setUp) +
                             "\n  " + track_.outputPath);
    }
    converter_.emplace(PcmFormat{encoder_->sampleRate(), encoder_->channels(), 16});
    encoder_->writeHeaders(drawStreamSerial());
    return writePages();
}

EncodeStep OggEncoder::feed(std::span<const uint8_t> cdAudio) {
    // CD audio needs no conversion, and copying a whole disc costs more than the check.
    if (converter_->passesThrough()) {
        encoder_->encode(cdAudio);
    } else {
        encoder_->encode(converter_->convert(cdAudio));
    }
    return writePages();
}

EncodeStep OggEncoder::finish() {
    encoder_->encode(converter_->finish());
    encoder_->finish();
    return writePages();
}

EncodeStep OggEncoder::writePages() {
    const bool allWritten = sink_->write(encoder_->pages());
    encoder_->clearPages();
    return written(allWritten);
}

}  // namespace lumbra
