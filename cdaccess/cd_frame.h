// The geometry of audio on a CD, shared by the reading code, the virtual drive and the tools that
// generate images, so no part of the program counts frames its own way.
#pragma once

namespace lumbra {

// The only sound a CD holds: 44,100 Hz, two channels, signed 16-bit little-endian samples.
inline constexpr int kCdSampleRate = 44100;
inline constexpr int kCdChannels = 2;
inline constexpr int kCdSampleBits = 16;
inline constexpr int kCdSampleBytes = kCdChannels * kCdSampleBits / 8;  // one stereo sample

// One frame: 1/75 second of that sound.
inline constexpr int kFrameBytes = 2352;
inline constexpr int kFramesPerSecond = 75;
inline constexpr int kSamplesPerFrame = kFrameBytes / kCdSampleBytes;
// A data sector as a plain READ delivers it.
inline constexpr int kCookedBlockBytes = 2048;
// Block address 0 sits two seconds after the start of the lead-in.
inline constexpr int kLeadInFrames = 2 * kFramesPerSecond;

static_assert(kSamplesPerFrame * kFramesPerSecond == kCdSampleRate);

}  // namespace lumbra
