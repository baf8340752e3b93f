// Per-format encoder settings. Each block's field order is binding: a track stores the block of
// its format slot by slot, and the writers read it back by position.
#pragma once

#include <array>
#include <cstdint>

namespace lumbra {

// Encoder settings of one track: the block of its own format, field for field, rest zero.
using EncoderSlots = std::array<int32_t, 10>;

enum OutputFormat : int32_t {
    kFormatWav = 0,
    kFormatOgg = 1,
    kFormatMp3 = 2,
    kFormatWma = 3,
    kFormatFlac = 4,
    kFormatOpus = 5,
};

// Every value is an index into a list of value_lists.h, a 0/1 flag, or a quality step; -1 means
// "no selection" (a stored index that its list cannot show).
struct WavSettings {
    int32_t sampleRate, channels, sampleSize;
};

struct OggSettings {
    int32_t sampleRate, channels, cbr, bbr, vbr, bitrate, bbrMin, bbrNominal, bbrMax, vbrQuality;
};

struct Mp3Settings {
    int32_t sampleRate, channelMode, bitrate, vbr, vbrQuality, vbrMax, preset;
};

struct WmaSettings {
    int32_t sampleRate, bitrate, drm;
};

// The compression level (0..8) is its own index; verify is a 0/1 flag.
struct FlacSettings {
    int32_t level, verify;
};

struct OpusSettings {
    int32_t bitrate;
};

static_assert(sizeof(WavSettings) == 3 * 4 && sizeof(OggSettings) == 10 * 4 &&
              sizeof(Mp3Settings) == 7 * 4 && sizeof(WmaSettings) == 3 * 4 &&
              sizeof(FlacSettings) == 2 * 4 && sizeof(OpusSettings) == 1 * 4);

struct EncoderSettings {
    WavSettings wav;
    OggSettings ogg;
    Mp3Settings mp3;
    WmaSettings wma;
    FlacSettings flac;
    OpusSettings opus;
};

// A block as track slots, and back.
EncoderSlots toSlots(const WavSettings& s);
EncoderSlots toSlots(const OggSettings& s);
EncoderSlots toSlots(const Mp3Settings& s);
EncoderSlots toSlots(const WmaSettings& s);
EncoderSlots toSlots(const FlacSettings& s);
EncoderSlots toSlots(const OpusSettings& s);
WavSettings wavFromSlots(const EncoderSlots& slots);
OggSettings oggFromSlots(const EncoderSlots& slots);
Mp3Settings mp3FromSlots(const EncoderSlots& slots);
WmaSettings wmaFromSlots(const EncoderSlots& slots);
FlacSettings flacFromSlots(const EncoderSlots& slots);
OpusSettings opusFromSlots(const EncoderSlots& slots);

// The block of `format` as track slots; all zero for a code that is no format.
EncoderSlots encoderBlock(const EncoderSettings& encoder, int32_t format);
// Replaces the block of `format` by `slots`; nothing for a code that is no format.
void setEncoderBlock(EncoderSettings& encoder, int32_t format, const EncoderSlots& slots);

}  // namespace lumbra
