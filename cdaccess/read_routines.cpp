#include "cdaccess/read_routines.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/track_buffer.h"

namespace lumbra {
namespace {

// The density code these drives take back together with 2,048-byte blocks.
constexpr uint8_t kRestoreDensity = 0x53;
constexpr uint8_t kErrorRecoveryPage = 0x01;
constexpr uint8_t kVendorPage23 = 0x23;
// Error-recovery byte 2: transfer a block even when it could not be corrected.
constexpr uint8_t kTransferBlockBit = 0x20;
constexpr uint8_t kReadRetryCount = 7;

bool modeSelect(int handle, bool pageFormat, mmc::ModeParameters& list, uint8_t flags) {
    return executeOnHandle(handle, CommandBlock(mmc::modeSelect6(pageFormat, list.length), flags,
                                                list.data(), list.length)) == kResultDone;
}

// Drives that read audio with READ(10) do so only once the block length is 2,352 bytes.
bool selectBlockSizeA(int handle) {
    auto list = mmc::blockDescriptorList(0, kFrameBytes);
    return modeSelect(handle, false, list, kFlagEventNotify);
}

// Some of them take the block length only in page format, and want their error-recovery page
// (read retry count 7) set in a second select before audio reads come out right. What their
// page 0x23 holds is known only from the bytes that make them work.
bool selectBlockSizesB(int handle) {
    constexpr uint8_t kPage23[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x80};
    constexpr uint8_t kRecovery[] = {kTransferBlockBit, kReadRetryCount, 0x00, 0x00, 0x00, 0x00};
    auto first = mmc::blockDescriptorList(0, kFrameBytes);
    mmc::appendPage(first, kVendorPage23, kPage23);
    auto second = mmc::blockDescriptorList(0, kFrameBytes);
    mmc::appendPage(second, kErrorRecoveryPage, kRecovery);
    return modeSelect(handle, true, first, kFlagEventNotify) &&
           modeSelect(handle, true, second, kFlagEventNotify);
}

// The 0xD4 family switches to audio reads on its own select of 8 bytes without a block
// descriptor. Exactly the list length goes out: USB bulk-only bridges can stall when the
// transfer and the command disagree.
void selectBlockSizeC(int handle) {
    mmc::ModeParameters list;
    list.length = 8;
    executeOnHandle(handle, CommandBlock(mmc::modeSelect6(true, list.length), kFlagEventNotify,
                                         list.data(), list.length));
}

// Vendor reads are refused while the drive plays audio, so any play is paused first; a drive
// that plays nothing may refuse the pause, which does not matter.
void pausePlay(int handle) {
    executeOnHandle(handle, CommandBlock(mmc::pauseResume(false), kFlagEventNotify));
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
    auto list = mmc::blockDescriptorList(kRestoreDensity, kCookedBlockBytes);
    modeSelect(handle, false, list, kFlagEventNotify | kFlagResidual);
    slot.restoreRoutine = kNoRestore;
}

int setReadSpeed(int handle, int speed) {
    return executeOnHandle(
        handle, CommandBlock(mmc::setCdSpeed(uint16_t(speed), 0), kFlagEventNotify | kFlagDataOut));
}

}  // namespace lumbra
