// Command blocks as the virtual drive receives them, with the operation codes and fields it
// shares with the commands the CD access layer sends.
#pragma once

#include <array>
#include <cstdint>

#include "cdaccess/cd_frame.h"
#include "cdaccess/mmc_opcodes.h"

namespace lumbra::virtualdrive {

// A command block as the drive receives it: the bytes the request sent, zeros after them.
using Cdb = std::array<uint8_t, 16>;

using lumbra::kCdSampleRate;
using lumbra::kCookedBlockBytes;
using lumbra::kFrameBytes;
using lumbra::kFramesPerSecond;
using lumbra::kLeadInFrames;
using lumbra::kSamplesPerFrame;

}  // namespace lumbra::virtualdrive
