#include "cdaccess/read_methods.h"

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

constexpr uint8_t kReadFlags = kFlagDataIn | kFlagEventNotify;

mmc::Cdb readCdb(ReadMethod method, const DriveSlot& slot, const TrackBuffer& buffer) {
    const auto lba = uint32_t(buffer.start);
    // One byte of count goes out; fitsOneRead keeps the count within it.
    const uint8_t frames = uint8_t(buffer.count);
    switch (method) {
        case ReadMethod::ReadCdUserData:
            return mmc::readCd(lba, frames, kReadCdAnySector, kReadCdUserData);
        case ReadMethod::ReadCdAllHeaders:
            return mmc::readCd(lba, frames, kReadCdAnySector, kReadCdAllHeaders);
        case ReadMethod::VendorD8:
            return mmc::vendorReadD8(lba, frames);
        case ReadMethod::VendorD4:
        case ReadMethod::VendorD4Selected:
            return mmc::vendorReadD4(lba, frames);
        default:  // the READ(10) methods
            return mmc::read10(slot.lun, lba, frames);
    }
}

uint32_t transferLength(ReadMethod method, const TrackBuffer& buffer) {
    if (method == ReadMethod::VendorD8) return uint32_t(uint8_t(buffer.count)) * kFrameBytes;
    return uint32_t(buffer.capacity);
}

CommandBlock readCommand(ReadMethod method, const DriveSlot& slot, TrackBuffer& buffer) {
    return {readCdb(method, slot, buffer), kReadFlags, buffer.data.data(),
            transferLength(method, buffer)};
}

}  // namespace

bool fitsOneRead(const TrackBuffer& buffer) {
    // A larger count would go out as its low byte and read that many frames instead.
    if (buffer.count >= 0 && buffer.count <= kMaxFramesPerRead && buffer.holds(buffer.count))
        return true;
    setLastError(kErrorBufferTooSmall);
    return false;
}

int readWithMethod(int handle, ReadMethod method, TrackBuffer& buffer) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    if (!fitsOneRead(buffer)) return kResultFailed;
    DriveSlot& slot = guard.slot();
    if (!slot.prepared && !prepareDrive(handle, slot, method)) return kResultFailed;
    if (executeOnHandle(handle, readCommand(method, slot, buffer)) != kResultDone)
        return kResultFailed;
    buffer.offset = 0;
    buffer.length = buffer.count * kFrameBytes;
    buffer.status = kResultDone;
    return kResultDone;
}

int runReadRoutine(int32_t routine, int handle, TrackBuffer& buffer) {
    if (routine < 1 || routine > kHighestReadMethod) return detectReadMethod(handle, buffer);
    return readWithMethod(handle, ReadMethod(routine), buffer);
}

}  // namespace lumbra
