#include "cdaccess/read_routines.h"

#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"

namespace lumbra {

int32_t readRoutineFor(uint8_t readMethod) {
    return readMethod > kHighestReadMethod ? 0 : readMethod;
}

void runRestoreRoutine(int handle, DriveSlot& slot) {
    if (slot.restoreRoutine != kRestoreBlockSize) return;
    slot.prepared = 0;
    // Back to 2,048-byte blocks, so that the drive reads data discs again for everyone else.
    uint8_t data[12] = {0x00, 0x00, 0x00, 0x08, 0x53, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00};
    executeOnHandle(handle, CommandBlock({0x15, 0x00, 0x00, 0x00, 0x0C, 0x00},
                                         kFlagEventNotify | kFlagResidual, data, sizeof data));
    slot.restoreRoutine = kNoRestore;
}

int setReadSpeed(int handle, int speed) {
    return executeOnHandle(handle, CommandBlock({0xBB, 0x00, uint8_t(speed >> 8), uint8_t(speed),
                                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
                                                kFlagEventNotify | kFlagDataOut));
}

}  // namespace lumbra
