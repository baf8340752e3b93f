// Operation codes and command fields the virtual drive answers.
#pragma once

#include <array>
#include <cstdint>

namespace lumbra::virtualdrive {

// A command block as the drive receives it: the bytes the request sent, zeros after them.
using Cdb = std::array<uint8_t, 16>;

inline constexpr uint8_t kOpTestUnitReady = 0x00;
inline constexpr uint8_t kOpInquiry = 0x12;
inline constexpr uint8_t kOpModeSelect6 = 0x15;
inline constexpr uint8_t kOpStartStopUnit = 0x1B;
inline constexpr uint8_t kOpRead10 = 0x28;
inline constexpr uint8_t kOpReadToc = 0x43;
inline constexpr uint8_t kOpPauseResume = 0x4B;
inline constexpr uint8_t kOpSetCdSpeed = 0xBB;
inline constexpr uint8_t kOpReadCd = 0xBE;
inline constexpr uint8_t kOpVendorReadD4 = 0xD4;
inline constexpr uint8_t kOpVendorReadD8 = 0xD8;

// READ CD byte 9: which parts of each sector to return. For audio sectors both mean the whole
// 2,352 bytes of samples.
inline constexpr uint8_t kReadCdUserData = 0x10;
inline constexpr uint8_t kReadCdAllHeaders = 0xF0;

inline constexpr uint32_t kFrameBytes = 2352;
inline constexpr uint32_t kCookedBlockBytes = 2048;
inline constexpr uint32_t kLeadInFrames = 150;

}  // namespace lumbra::virtualdrive
