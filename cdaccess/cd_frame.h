// The geometry of audio on a CD, shared by the reading code, the virtual drive and the tools that
// generate images, so no part of the program counts frames its own way.
#pragma once

namespace lumbra {

// One frame: 1/75 second of 16-bit stereo sound at 44,100 Hz.
inline constexpr int kFrameBytes = 2352;
inline constexpr int kFramesPerSecond = 75;
inline constexpr int kSamplesPerFrame = kFrameBytes / 4;
// A data sector as a plain READ delivers it.
inline constexpr int kCookedBlockBytes = 2048;
// Block address 0 sits two seconds after the start of the lead-in.
inline constexpr int kLeadInFrames = 2 * kFramesPerSecond;

static_assert(kSamplesPerFrame * kFramesPerSecond == 44100);

}  // namespace lumbra
