// Drives the built virtual drive module through its exported entry points, as the transport
// does: requests in the real layouts, completion awaited on a real eventfd.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cdaccess/scsi_request.h"
#include "plugins/virtualdrive/sense.h"

namespace lumbra::virtualdrive::test {

class VirtualDriveModule {
public:
    // The module, loaded once for the whole test program.
    static VirtualDriveModule& get();

    uint32_t (*supportInfo)() = nullptr;
    uint32_t (*send)(void*) = nullptr;
    int (*driveCount)() = nullptr;
    const char* (*driveName)(int) = nullptr;
    int (*configure)(const char*, const char*) = nullptr;
    int (*insertDisc)(int, const char*) = nullptr;
};

struct CommandResult {
    uint8_t status = 0;
    uint8_t adapterStatus = 0;
    uint8_t targetStatus = 0;
    Sense sense;
    std::vector<uint8_t> data;  // the whole buffer afterwards, guard bytes included
};

inline constexpr uint8_t kUnwrittenByte = 0xAA;

// The status of a request that the module may still be completing.
uint8_t statusOf(ScsiRequestHeader& header);

// Runs `cdb` on drive `drive` and waits for its completion. The buffer holds `dataOut` (or the
// unwritten-byte fill) and `guardBytes` more that are not part of the request's buffer length.
CommandResult runCommand(int drive, const std::vector<uint8_t>& cdb, size_t bufferLength,
                         const std::vector<uint8_t>& dataOut = {}, size_t guardBytes = 0);

// The reply bytes of a good command, failing the test otherwise.
std::vector<uint8_t> runGood(int drive, const std::vector<uint8_t>& cdb, size_t bufferLength,
                             const std::vector<uint8_t>& dataOut = {});

std::vector<uint8_t> readCdCdb(uint32_t frame, uint32_t count, uint8_t fields = 0x10);
std::vector<uint8_t> readTocCdb(bool msf, uint16_t allocationLength = 804);

}  // namespace lumbra::virtualdrive::test
