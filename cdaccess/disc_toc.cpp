#include "cdaccess/disc_toc.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/mmc_commands.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/scsi_request.h"
#include "cdaccess/slot_access.h"

namespace lumbra {

int readDiscToc(int handle, TocBuffer& toc) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    const bool msf = guard.slot().addressMsf != 0;
    return executeOnHandle(
        handle, CommandBlock(mmc::readToc(msf, kTocBufferSize), kFlagDataIn | kFlagEventNotify,
                             reinterpret_cast<uint8_t*>(&toc), kTocBufferSize));
}

int32_t descriptorLba(const TocDescriptor& d, bool msf) {
    if (msf)
        return (d.address[1] * 60 + d.address[2]) * kFramesPerSecond + d.address[3] - kLeadInFrames;
    return int32_t(uint32_t(d.address[0]) << 24 | uint32_t(d.address[1]) << 16 |
                   uint32_t(d.address[2]) << 8 | d.address[3]);
}

}  // namespace lumbra
