// Command blocks as the virtual drive receives them, with the operation codes and fields it
// shares with the commands the CD access layer sends.
#pragma once

#include <array>
#include <cstdint>

#include "cdaccess/mmc_opcodes.h"

namespace lumbra::virtualdrive {

// A command block as the drive receives it: the bytes the request sent, zeros after them.
using Cdb = std::array<uint8_t, 16>;

inline constexpr uint32_t kFrameBytes = 2352;
inline constexpr uint32_t kCookedBlockBytes = 2048;
inline constexpr uint32_t kLeadInFrames = 150;

}  // namespace lumbra::virtualdrive
