#include "rip/wav_encoder.h"

#include "rip/wav_header.h"
#include "settings/encoder_settings.h"

namespace lumbra {

WavEncoder::WavEncoder(const TrackToEncode& track)
    : converter_(wavFormatOf(wavFromSlots(track.track.encoderSettings))) {}

EncodeStep WavEncoder::start(ByteSink& sink) {
    sink_ = &sink;
    return written(sink.write(wavHeader(converter_.target(), 0)));
}

EncodeStep WavEncoder::feed(std::span<const uint8_t> cdAudio) {
    // CD audio itself is written as read, uncopied.
    if (converter_.passesThrough()) return append(cdAudio);
    return append(converter_.convert(cdAudio));
}

EncodeStep WavEncoder::finish() {
    const EncodeStep tail = append(converter_.finish());
    if (!tail.ok()) return tail;
    if (!sink_->write(wavPadding(dataSize_))) return written(false);
    return written(sink_->rewrite(0, wavHeader(converter_.target(), dataSize_)));
}

EncodeStep WavEncoder::append(std::span<const uint8_t> bytes) {
    dataSize_ += uint32_t(bytes.size());
    return written(sink_->write(bytes));
}

}  // namespace lumbra
