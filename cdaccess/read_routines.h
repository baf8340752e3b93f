// Which routine reads for a slot, the one-time drive set-up of each read method, and which
// routine restores the drive when the handle is closed. Slots are shared between processes, so
// they hold codes, not addresses.
#pragma once

#include <cstdint>

#include "cdaccess/shared_cd_state.h"

namespace lumbra {

// The command that reads audio on a drive; the code is kept in the slot's read method.
enum class ReadMethod : uint8_t {
    Detect = 0,
    ReadCdUserData = 1,    // READ CD of the user data
    ReadCdAllHeaders = 2,  // READ CD of everything but sub-channels
    Read10 = 3,            // READ(10) after block-size select A
    Read10Alike = 4,       // the same commands as 3
    VendorD8 = 5,
    VendorD4 = 6,
    VendorD4Selected = 7,  // 0xD4 after block-size select C
    Read10PageFormat = 8,  // READ(10) after block-size selects B
};
inline constexpr uint8_t kHighestReadMethod = 8;

// Read routine codes: the read method's own code; 0 is the detection routine.
int32_t readRoutineFor(uint8_t readMethod);

// Restore routine codes.
inline constexpr int32_t kNoRestore = 0;
inline constexpr int32_t kRestoreBlockSize = 1;

// The method's one-time set-up through the handle (whose lock the caller holds); marks the slot
// prepared. False, leaving it unprepared, when a READ(10) block-size select fails; READ(10)
// methods install the restore routine.
bool prepareDrive(int handle, DriveSlot& slot, ReadMethod method);

// Runs the slot's restore routine, if any, through the handle (whose lock the caller holds).
void runRestoreRoutine(int handle, DriveSlot& slot);

// SET CD SPEED with `speed` as the read speed: 1, or 4 when the command fails.
int setReadSpeed(int handle, int speed);

}  // namespace lumbra
