#include "rip/wav_header.h"

#include <cstring>

#include "settings/value_lists.h"

namespace lumbra {
namespace {

void put16(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void put32(uint8_t* at, uint32_t value) {
    put16(at, value);
    put16(at + 2, value >> 16);
}

}  // namespace

PcmFormat wavFormatOf(const WavSettings& s) {
    return {listValue(kWavSampleRates, s.sampleRate, kCdAudioFormat.sampleRate),
            listValue(kWavChannels, s.channels, kCdAudioFormat.channels),
            listValue(kWavSampleSizes, s.sampleSize, kCdAudioFormat.bitsPerSample)};
}

std::array<uint8_t, kWavHeaderSize> wavHeader(const PcmFormat& format, uint32_t dataSize) {
    std::array<uint8_t, kWavHeaderSize> h{};
    uint8_t* p = h.data();
    std::memcpy(p, "RIFF", 4);
    // The RIFF size counts the pad byte that follows data of odd size.
    put32(p + 4, dataSize + 36 + (dataSize & 1));
    std::memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, 16);
    put16(p + 20, 1);
    put16(p + 22, uint32_t(format.channels));
    put32(p + 24, uint32_t(format.sampleRate));
    put32(p + 28, uint32_t(format.sampleRate * format.bytesPerFrame()));
    put16(p + 32, uint32_t(format.bytesPerFrame()));
    put16(p + 34, uint32_t(format.bitsPerSample));
    std::memcpy(p + 36, "data", 4);
    put32(p + 40, dataSize);
    return h;
}

std::span<const uint8_t> wavPadding(uint32_t dataSize) {
    static constexpr uint8_t kPad[1] = {0};
    return {kPad, dataSize & 1};
}

}  // namespace lumbra
