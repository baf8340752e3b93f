// Which routine reads for a slot and which one restores the drive when the handle is closed.
// Slots are shared between processes, so they hold codes, not addresses.
#pragma once

#include <cstdint>

#include "cdaccess/shared_cd_state.h"

namespace lumbra {

inline constexpr uint8_t kHighestReadMethod = 8;

// Read routine codes: the read method's own code; 0 is the detection routine.
int32_t readRoutineFor(uint8_t readMethod);

// Restore routine codes.
inline constexpr int32_t kNoRestore = 0;
inline constexpr int32_t kRestoreBlockSize = 1;

// Runs the slot's restore routine, if any, through the handle (whose lock the caller holds).
void runRestoreRoutine(int handle, DriveSlot& slot);

// SET CD SPEED with `speed` as the read speed: 1, or 4 when the command fails.
int setReadSpeed(int handle, int speed);

}  // namespace lumbra
