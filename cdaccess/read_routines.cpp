#include "cdaccess/read_routines.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"

namespace lumbra {
namespace {

constexpr uint8_t kOpModeSelect6 = 0x15;
constexpr uint8_t kPageFormat = 0x10;

// Drives that read audio with READ(10) do so only once the block length is 2,352 bytes.
bool selectBlockSizeA(int handle) {
    uint8_t data[12] = {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x30};
    return executeOnHandle(handle, CommandBlock({kOpModeSelect6, 0x00, 0x00, 0x00, 0x0C, 0x00},
                                                kFlagEventNotify, data, sizeof data)) ==
           kResultDone;
}

// Some of them take the block length only in page format, and want their error-recovery page
// (read retry count 7) set in a second select before audio reads come out right.
bool selectBlockSizesB(int handle) {
    uint8_t first[20] = {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x09, 0x30, 0x23, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80};
    uint8_t second[20] = {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x09, 0x30, 0x01, 0x06, 0x20, 0x07, 0x00, 0x00, 0x00, 0x00};
    for (uint8_t* data : {first, second}) {
        const CommandBlock select({kOpModeSelect6, kPageFormat, 0x00, 0x00, 0x14, 0x00},
                                  kFlagEventNotify, data, 20);
        if (executeOnHandle(handle, select) != kResultDone) return false;
    }
    return true;
}

// The 0xD4 family switches to audio reads on its own select without a block descriptor; the
// list length sends only the first 8 of the 12 bytes handed over.
void selectBlockSizeC(int handle) {
    uint8_t data[12] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0x30};
    executeOnHandle(handle, CommandBlock({kOpModeSelect6, kPageFormat, 0x00, 0x00, 0x08, 0x00},
                                         kFlagEventNotify, data, sizeof data));
}

// Vendor reads are refused while the drive plays audio, so any play is paused first; a drive
// that plays nothing may refuse the pause, which does not matter.
void pausePlay(int handle) {
    executeOnHandle(handle,
                    CommandBlock({0x4B, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
                                 kFlagEventNotify));
}

}  // namespace

int32_t readRoutineFor(uint8_t readMethod) {
    return readMethod > kHighestReadMethod ? 0 : readMethod;
}

bool prepareDrive(int handle, DriveSlot& slot, ReadMethod method) {
    switch (method) {
        case ReadMethod::Read10:
        case ReadMethod::Read10Alike:
        case ReadMethod::Read10PageFormat: {
            const bool selected = method == ReadMethod::Read10PageFormat ? selectBlockSizesB(handle)
                                                                         : selectBlockSizeA(handle);
            if (!selected) return false;
            slot.restoreRoutine = kRestoreBlockSize;
            break;
        }
        case ReadMethod::VendorD8:
        case ReadMethod::VendorD4:
            pausePlay(handle);
            break;
        case ReadMethod::VendorD4Selected:
            pausePlay(handle);
            selectBlockSizeC(handle);
            break;
        default:
            return true;  // READ CD needs no set-up
    }
    slot.prepared = 1;
    return true;
}

void runRestoreRoutine(int handle, DriveSlot& slot) {
    if (slot.restoreRoutine != kRestoreBlockSize) return;
    slot.prepared = 0;
    // Back to 2,048-byte blocks, so that the drive reads data discs again for everyone else.
    uint8_t data[12] = {0x00, 0x00, 0x00, 0x08, 0x53, 0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00};
    executeOnHandle(handle, CommandBlock({kOpModeSelect6, 0x00, 0x00, 0x00, 0x0C, 0x00},
                                         kFlagEventNotify | kFlagResidual, data, sizeof data));
    slot.restoreRoutine = kNoRestore;
}

int setReadSpeed(int handle, int speed) {
    return executeOnHandle(handle, CommandBlock({0xBB, 0x00, uint8_t(speed >> 8), uint8_t(speed),
                                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00},
                                                kFlagEventNotify | kFlagDataOut));
}

}  // namespace lumbra
