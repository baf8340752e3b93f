#include "cdaccess/disc_toc.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {

int readDiscToc(int handle, TocBuffer& toc) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    const uint8_t form = guard.slot().addressMsf ? 0x02 : 0x00;
    const uint8_t high = uint8_t(kTocBufferSize >> 8);
    const uint8_t low = uint8_t(kTocBufferSize & 0xFF);
    return executeOnHandle(handle, CommandBlock({0x43, form, 0x00, 0x00, 0x00, 0x00, 0x00, high, low, 0x00},
                                                kFlagDataIn | kFlagEventNotify,
                                                reinterpret_cast<uint8_t*>(&toc), kTocBufferSize));
}

int32_t descriptorLba(const TocDescriptor& d, bool msf) {
    if (msf) return (d.address[1] * 60 + d.address[2]) * 75 + d.address[3] - kLeadInFrames;
    return int32_t(uint32_t(d.address[0]) << 24 | uint32_t(d.address[1]) << 16 |
                   uint32_t(d.address[2]) << 8 | d.address[3]);
}

}  // namespace lumbra
