// The record that opens an MP3 encoder stream, shared by the writers that fill it and the
// encoder library that reads it. 331 bytes, little-endian 32-bit fields unless noted.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace lumbra {

inline constexpr uint32_t kLameConfigLayout = 256;
inline constexpr uint32_t kLameConfigVersion = 1;
inline constexpr uint32_t kLameConfigSize = 331;

// Mode codes of the record; 2 (dual channel) is coded as stereo.
inline constexpr int32_t kLameModeStereo = 0;
inline constexpr int32_t kLameModeJointStereo = 1;
inline constexpr int32_t kLameModeMono = 3;

// Preset codes up to this one are named presets; above it they are multiples of 1000.
inline constexpr int32_t kLameLastNamedPreset = 12;
inline constexpr int32_t kLamePresetAbr = 11;
inline constexpr int32_t kLamePresetCbr = 12;

#pragma pack(push, 1)
struct LameStreamConfig {
    uint32_t layout = kLameConfigLayout;
    uint32_t version = kLameConfigVersion;
    uint32_t size = kLameConfigSize;
    uint32_t inputSampleRate = 0;
    uint32_t outputSampleRate = 0;  // 0: the encoder chooses
    int32_t mode = kLameModeStereo;
    uint32_t bitrate = 0;     // kbit/s; the least bitrate of a VBR stream
    uint32_t maxBitrate = 0;  // kbit/s, VBR only
    int32_t preset = 0;
    uint32_t mpeg1 = 0;  // 1: MPEG-1 frames, so no resampling below 32 kHz
    uint32_t emphasis = 0;
    uint32_t privateBit = 0;
    uint32_t crc = 0;
    uint32_t copyright = 0;
    uint32_t strictIso = 0;
    uint32_t original = 0;        // frame headers mark a first-generation recording
    uint32_t writeVbrHeader = 0;  // 1: a header frame even at a constant rate
    uint32_t vbr = 0;
    int32_t vbrQuality = 0;       // 0 best to 9
    uint32_t averageBitrate = 0;  // kbit/s for the ABR preset; 0: `bitrate`
    uint32_t reserved80 = 0;      // the reserved fields stay zero and are not read
    uint32_t noReservoir = 0;
    uint32_t reserved88 = 0;
    uint16_t reserved92 = 0;
    uint8_t reserved94[237] = {};
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "the record is handed over as it is");
static_assert(sizeof(LameStreamConfig) == kLameConfigSize);
static_assert(offsetof(LameStreamConfig, inputSampleRate) == 12);
static_assert(offsetof(LameStreamConfig, mode) == 20);
static_assert(offsetof(LameStreamConfig, bitrate) == 24);
static_assert(offsetof(LameStreamConfig, maxBitrate) == 28);
static_assert(offsetof(LameStreamConfig, preset) == 32);
static_assert(offsetof(LameStreamConfig, mpeg1) == 36);
static_assert(offsetof(LameStreamConfig, original) == 60);
static_assert(offsetof(LameStreamConfig, writeVbrHeader) == 64);
static_assert(offsetof(LameStreamConfig, vbr) == 68);
static_assert(offsetof(LameStreamConfig, vbrQuality) == 72);
static_assert(offsetof(LameStreamConfig, averageBitrate) == 76);
static_assert(offsetof(LameStreamConfig, noReservoir) == 84);
static_assert(offsetof(LameStreamConfig, reserved92) == 92);

}  // namespace lumbra
