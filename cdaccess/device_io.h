// The operating system's side of the pass-through back end, behind a narrow seam so that the
// emulation above it can be tested without a drive. Drive "letters" C to Z are the device nodes
// /dev/sr0 to /dev/sr23, in that order.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace lumbra {

inline constexpr int kFirstProbedLetter = 2;  // 'C'; A and B are never probed
inline constexpr int kLetterCount = 26;

enum class TransferDirection { None, In, Out };

struct ScsiAddress {
    uint8_t port = 0;  // host adapter number
    uint8_t path = 0;  // channel, not used
    uint8_t target = 0;
    uint8_t lun = 0;
};

struct PassThroughResult {
    int systemError = 0;     // errno of the call, 0 when the call itself succeeded
    uint8_t scsiStatus = 0;  // the device's status byte (0 GOOD, 2 CHECK CONDITION, ...)
    std::array<uint8_t, 32> sense{};
    uint8_t senseLength = 0;  // valid sense bytes
    // Nonzero: the host adapter or its driver did not complete the command (a system code).
    uint8_t adapterStatus = 0;
    // Bytes of the data-in length asked for that did not arrive.
    uint32_t residual = 0;
};

class DeviceIo {
public:
    virtual ~DeviceIo() = default;

    // The device node of drive letter index 0..25 ("" for A and B).
    virtual std::string devicePath(int letterIndex) const = 0;
    // True when the node exists and is a CD-ROM device.
    virtual bool isCdRom(const std::string& path) const = 0;
    // An open descriptor, or -1 with errno set. Opening a drive's node takes no medium.
    virtual int open(const std::string& path, bool readWrite) = 0;
    virtual void close(int fd) = 0;
    // One synchronous command through the pass-through interface.
    virtual PassThroughResult execute(int fd, const uint8_t* cdb, uint8_t cdbLength,
                                      TransferDirection direction, uint8_t* buffer, uint32_t length,
                                      unsigned timeoutSeconds) = 0;
    // The host/channel/target/LUN of the device behind fd.
    virtual bool address(int fd, ScsiAddress& out) = 0;
    // The largest transfer one command may carry, a multiple of 512 bytes; 0 when unknown.
    virtual uint32_t maxTransferLength(int) { return 0; }
};

// The Linux implementation (SG_IO); nullptr on platforms without one.
std::unique_ptr<DeviceIo> makeSystemDeviceIo();

}  // namespace lumbra
