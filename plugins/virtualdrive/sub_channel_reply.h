// The reply to READ SUB-CHANNEL for the two kinds of Q data a ripper asks for once per disc:
// the media catalogue number and a track's ISRC.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "plugins/virtualdrive/disc.h"
#include "plugins/virtualdrive/mmc_opcodes.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive {

// A 4-byte header and a 20-byte data block whose valid bit says whether the disc carries the
// code. Other kinds, and an ISRC of a track the disc lacks, are an invalid field.
std::variant<std::vector<uint8_t>, Sense> buildSubChannelReply(const Disc& disc, const Cdb& cdb);

}  // namespace lumbra::virtualdrive
