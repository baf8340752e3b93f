// The audio reads a virtual drive understands, decoded from their command blocks.
#pragma once

#include <cstdint>
#include <span>
#include <variant>

#include "plugins/virtualdrive/drive_modes.h"
#include "plugins/virtualdrive/fault_settings.h"
#include "plugins/virtualdrive/mmc_opcodes.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive {

struct ReadRequest {
    ReadMethodSet methods;  // the read methods this command stands for
    uint32_t first = 0;
    uint32_t count = 0;
};

// True for the operation codes that read audio frames.
bool isAudioRead(uint8_t opcode);

// The frames `cdb` asks for and the read method it belongs to under `modes`, or the sense of a
// drive that refuses it (READ(10) without a 2,352-byte block length, READ CD of other fields).
std::variant<ReadRequest, Sense> decodeRead(const Cdb& cdb, const DriveModes& modes);

}  // namespace lumbra::virtualdrive
