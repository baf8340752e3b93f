// The 44-byte header of a PCM WAV file.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "rip/sample_conversion.h"
#include "settings/encoder_settings.h"

namespace lumbra {

inline constexpr size_t kWavHeaderSize = 44;

// The format a track's WAV settings ask for; indexes outside their lists fall back to CD audio.
PcmFormat wavFormatOf(const WavSettings& settings);

// The header for `dataSize` bytes of `format` samples; byte rate and block alignment describe
// the data as it is. Data of odd size is followed by a zero pad byte (wavPadding), which the
// RIFF size counts and the data size does not.
std::array<uint8_t, kWavHeaderSize> wavHeader(const PcmFormat& format, uint32_t dataSize);

// The bytes that end the file after `dataSize` bytes of data: a zero when the size is odd.
std::span<const uint8_t> wavPadding(uint32_t dataSize);

}  // namespace lumbra
