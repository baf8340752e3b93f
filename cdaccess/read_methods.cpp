#include "cdaccess/read_methods.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/read_method_detection.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

constexpr uint8_t kReadFlags = kFlagDataIn | kFlagEventNotify;

// What a slot's READ CD asks the drive to expect, once a read showed what the drive takes.
enum ReadCdSectorType : uint8_t { kSectorTypeUnknown = 0, kSectorTypeAny = 1, kSectorTypeCdda = 2 };

bool isReadCd(ReadMethod method) {
    return method == ReadMethod::ReadCdUserData || method == ReadMethod::ReadCdAllHeaders;
}

mmc::Cdb readCdb(ReadMethod method, const DriveSlot& slot, const TrackBuffer& buffer,
                 uint8_t sectorType) {
    const auto lba = uint32_t(buffer.start);
    // One byte of count goes out; fitsOneRead keeps the count within it.
    const uint8_t frames = uint8_t(buffer.count);
    switch (method) {
        case ReadMethod::ReadCdUserData:
            return mmc::readCd(lba, frames, sectorType, kReadCdUserData);
        case ReadMethod::ReadCdAllHeaders:
            return mmc::readCd(lba, frames, sectorType, kReadCdAllHeaders);
        case ReadMethod::VendorD8:
            return mmc::vendorReadD8(lba, frames);
        case ReadMethod::VendorD4:
        case ReadMethod::VendorD4Selected:
            return mmc::vendorReadD4(lba, frames);
        default:  // the READ(10) methods
            return mmc::read10(slot.lun, lba, frames);
    }
}

// Exactly the frames asked for: more than that may exceed what the device moves in one command,
// and the kernel then refuses the whole read.
bool sendRead(int handle, ReadMethod method, const DriveSlot& slot, TrackBuffer& buffer,
              uint8_t sectorType = kReadCdAnySector) {
    const uint32_t length = uint32_t(uint8_t(buffer.count)) * kFrameBytes;
    const CommandBlock read(readCdb(method, slot, buffer, sectorType), kReadFlags,
                            buffer.data.data(), length);
    return executeOnHandle(handle, read) == kResultDone;
}

// Some drives read audio with READ CD only when told to expect CD-DA sectors; once a drive has
// shown which it takes, its handle asks only that way.
bool sendReadCd(int handle, ReadMethod method, DriveSlot& slot, TrackBuffer& buffer) {
    if (slot.readCdSectorType != kSectorTypeCdda && sendRead(handle, method, slot, buffer)) {
        slot.readCdSectorType = kSectorTypeAny;
        return true;
    }
    if (slot.readCdSectorType == kSectorTypeAny) return false;
    if (!sendRead(handle, method, slot, buffer, kReadCdCddaSector)) return false;
    slot.readCdSectorType = kSectorTypeCdda;
    return true;
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
    const bool read = isReadCd(method) ? sendReadCd(handle, method, slot, buffer)
                                       : sendRead(handle, method, slot, buffer);
    if (!read) return kResultFailed;
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
