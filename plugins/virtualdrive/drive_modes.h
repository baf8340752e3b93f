// What MODE SELECT(6) leaves behind in a drive, and how it decides which read commands work:
// READ(10) delivers audio frames only once a block length of 2,352 is selected, and drives of
// the 0xD4 family read differently after their own select without a block descriptor.
#pragma once

#include <cstdint>
#include <span>

#include "plugins/virtualdrive/mmc_opcodes.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive {

struct DriveModes {
    uint32_t blockLength = 2048;
    bool blockLengthFromPageFormat = false;  // the select that set it had the PF bit
    bool vendorSelect = false;               // the last select had no block descriptor
};

// Applies MODE SELECT(6) `cdb` with parameter data from `buffer` to `modes`.
CommandOutcome applyModeSelect(const Cdb& cdb, std::span<const uint8_t> buffer, DriveModes& modes);

}  // namespace lumbra::virtualdrive
