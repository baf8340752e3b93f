// The reply to READ TOC format 0: a 4-byte header and one 8-byte descriptor per track from the
// starting track on, then the lead-out (track 0xAA). Multi-byte fields are big-endian.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "plugins/virtualdrive/disc.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive {

inline constexpr uint8_t kLeadOutTrack = 0xAA;

// Addresses are logical block addresses, or 0, minute, second, frame with the 150-frame
// lead-in when `msf`. A starting track of 0 means the first; one past the last track (other
// than 0xAA) is an invalid field.
std::variant<std::vector<uint8_t>, Sense> buildTocReply(const Disc& disc, bool msf,
                                                        uint8_t startingTrack);

}  // namespace lumbra::virtualdrive
