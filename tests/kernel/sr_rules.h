// The rules of the kernel's sr driver and block layer that the stand-in applies, from a
// comma-separated text: `host=N` (the first drive's SCSI host, one host per drive as libata
// gives), `maxkb=N` (largest transfer of one command), `user` (the command filter of a user
// without CAP_SYS_RAWIO), `access=ro|none` (opens refused with EACCES: read-write ones, or all),
// `locked` (the door locked at start, as udev does), `lockheld` (someone locks it again after
// every allow), `spinup=S` (the first command that needs the disc takes S seconds), `reset` (the
// first command meets the UNIT ATTENTION of a reset), `recovered` (audio reads end with
// RECOVERED ERROR), `short` (audio reads claim success one frame short).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::test {

enum class NodeAccess { ReadWrite, ReadOnly, None };

struct SrRules {
    unsigned firstHost = 0;
    uint32_t maxTransferBytes = 512 * 1024;
    bool commandFilter = false;
    NodeAccess access = NodeAccess::ReadWrite;
    bool doorLocked = false;
    bool lockHeld = false;
    unsigned spinUpSeconds = 0;
    bool resetPending = false;
    bool recoveredErrors = false;
    bool shortReads = false;
    std::vector<std::string> ignoredItems;
};

SrRules parseSrRules(std::string_view text);

}  // namespace lumbra::test
