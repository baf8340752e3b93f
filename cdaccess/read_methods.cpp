#include "cdaccess/read_methods.h"

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

constexpr uint8_t kReadFlags = kFlagDataIn | kFlagEventNotify;
constexpr uint8_t kReadCdUserData = 0x10;
constexpr uint8_t kReadCdAllHeaders = 0xF0;

CommandBlock readCommand(ReadMethod method, const DriveSlot& slot, TrackBuffer& buffer) {
    const uint8_t l2 = uint8_t(buffer.start >> 16);
    const uint8_t l1 = uint8_t(buffer.start >> 8);
    const uint8_t l0 = uint8_t(buffer.start);
    const uint8_t n = uint8_t(buffer.count);
    const uint8_t lun = uint8_t(slot.lun << 5);
    uint8_t* data = buffer.data.data();
    const auto capacity = uint32_t(buffer.capacity);
    switch (method) {
        case ReadMethod::ReadCdUserData:
            return {{0xBE, 0, 0, l2, l1, l0, 0, 0, n, kReadCdUserData, 0, 0},
                    kReadFlags,
                    data,
                    capacity};
        case ReadMethod::ReadCdAllHeaders:
            return {{0xBE, 0, 0, l2, l1, l0, 0, 0, n, kReadCdAllHeaders, 0, 0},
                    kReadFlags,
                    data,
                    capacity};
        case ReadMethod::VendorD8:
            return {{0xD8, 0, 0, l2, l1, l0, 0, 0, 0, n, 0, 0},
                    kReadFlags,
                    data,
                    uint32_t(n) * kFrameBytes};
        case ReadMethod::VendorD4:
        case ReadMethod::VendorD4Selected:
            return {{0xD4, 0, 0, l2, l1, l0, 0, 0, n, 0}, kReadFlags, data, capacity};
        default:  // the READ(10) methods
            return {{0x28, lun, 0, l2, l1, l0, 0, 0, n, 0}, kReadFlags, data, capacity};
    }
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
