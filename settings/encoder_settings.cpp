#include "settings/encoder_settings.h"

namespace lumbra {

EncoderSlots toSlots(const WavSettings& s) {
    return {s.sampleRate, s.channels, s.sampleSize};
}

EncoderSlots toSlots(const OggSettings& s) {
    return {s.sampleRate, s.channels, s.cbr,        s.bbr,    s.vbr,
            s.bitrate,    s.bbrMin,   s.bbrNominal, s.bbrMax, s.vbrQuality};
}

EncoderSlots toSlots(const Mp3Settings& s) {
    return {s.sampleRate, s.channelMode, s.bitrate, s.vbr, s.vbrQuality, s.vbrMax, s.preset};
}

EncoderSlots toSlots(const WmaSettings& s) {
    return {s.sampleRate, s.bitrate, s.drm};
}

EncoderSlots toSlots(const FlacSettings& s) {
    return {s.level, s.verify};
}

EncoderSlots toSlots(const OpusSettings& s) {
    return {s.bitrate};
}

WavSettings wavFromSlots(const EncoderSlots& v) {
    return {v[0], v[1], v[2]};
}

OggSettings oggFromSlots(const EncoderSlots& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]};
}

Mp3Settings mp3FromSlots(const EncoderSlots& v) {
    return {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
}

WmaSettings wmaFromSlots(const EncoderSlots& v) {
    return {v[0], v[1], v[2]};
}

FlacSettings flacFromSlots(const EncoderSlots& v) {
    return {v[0], v[1]};
}

OpusSettings opusFromSlots(const EncoderSlots& v) {
    return {v[0]};
}

EncoderSlots encoderBlock(const EncoderSettings& encoder, int32_t format) {
    switch (format) {
        case kFormatWav:
            return toSlots(encoder.wav);
        case kFormatOgg:
            return toSlots(encoder.ogg);
        case kFormatMp3:
            return toSlots(encoder.mp3);
        case kFormatWma:
            return toSlots(encoder.wma);
        case kFormatFlac:
            return toSlots(encoder.flac);
        case kFormatOpus:
            return toSlots(encoder.opus);
        default:
            return {};
    }
}

void setEncoderBlock(EncoderSettings& encoder, int32_t format, const EncoderSlots& slots) {
    switch (format) {
        case kFormatWav:
            encoder.wav = wavFromSlots(slots);
            break;
        case kFormatOgg:
            encoder.ogg = oggFromSlots(slots);
            break;
        case kFormatMp3:
            encoder.mp3 = mp3FromSlots(slots);
            break;
        case kFormatWma:
            encoder.wma = wmaFromSlots(slots);
            break;
        case kFormatFlac:
            encoder.flac = flacFromSlots(slots);
            break;
        case kFormatOpus:
            encoder.opus = opusFromSlots(slots);
            break;
        default:
            break;
    }
}

}  // namespace lumbra
