// The Linux side of the pass-through back end: SG_IO on the SCSI CD-ROM nodes /dev/sr*.
#include <fcntl.h>
#include <scsi/scsi.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>

#include "cdaccess/device_io.h"

namespace lumbra {
namespace {

constexpr unsigned kScsiCdromMajor = 11;
// driver_status: the low nibble is the driver's verdict, where "sense follows" is no failure.
constexpr unsigned kDriverVerdictMask = 0x0F;
constexpr unsigned kDriverSense = 0x08;

// The reply of SCSI_IOCTL_GET_IDLUN; the kernel exports no user-space type for it.
struct IdLun {
    uint32_t packed;  // target | LUN << 8 | channel << 16 | host << 24, each cut to 8 bits
    uint32_t hostUniqueId;
};

int directionCode(TransferDirection direction) {
    switch (direction) {
        case TransferDirection::In:
            return SG_DXFER_FROM_DEV;
        case TransferDirection::Out:
            return SG_DXFER_TO_DEV;
        case TransferDirection::None:
            break;
    }
    return SG_DXFER_NONE;
}

uint8_t adapterFailure(const sg_io_hdr_t& header) {
    if (header.host_status != 0) return static_cast<uint8_t>(header.host_status);
    const unsigned verdict = header.driver_status & kDriverVerdictMask;
    return verdict == kDriverSense ? 0 : static_cast<uint8_t>(verdict);
}

class SgIoDeviceIo final : public DeviceIo {
public:
    std::string devicePath(int letterIndex) const override {
        if (letterIndex < kFirstProbedLetter || letterIndex >= kLetterCount) return {};
        return "/dev/sr" + std::to_string(letterIndex - kFirstProbedLetter);
    }

    bool isCdRom(const std::string& path) const override {
        struct stat info {};
        if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
        return S_ISBLK(info.st_mode) && major(info.st_rdev) == kScsiCdromMajor;
    }

    // O_NONBLOCK: without it the open of a drive with an empty tray fails with ENOMEDIUM.
    int open(const std::string& path, bool readWrite) override {
        const int access = readWrite ? O_RDWR : O_RDONLY;
        return ::open(path.c_str(), access | O_NONBLOCK | O_CLOEXEC);
    }

    void close(int fd) override { ::close(fd); }

    PassThroughResult execute(int fd, const uint8_t* cdb, uint8_t cdbLength,
                              TransferDirection direction, uint8_t* buffer, uint32_t length,
                              unsigned timeoutSeconds) override {
        PassThroughResult result;
        // A command without data must not name a buffer, or the kernel refuses it.
        const bool transfers = direction != TransferDirection::None && length > 0;
        sg_io_hdr_t header{};
        header.interface_id = 'S';
        header.dxfer_direction = transfers ? directionCode(direction) : SG_DXFER_NONE;
        header.cmd_len = cdbLength;
        header.cmdp = const_cast<unsigned char*>(cdb);
        header.dxfer_len = transfers ? length : 0;
        header.dxferp = transfers ? buffer : nullptr;
        header.mx_sb_len = static_cast<unsigned char>(result.sense.size());
        header.sbp = result.sense.data();
        constexpr unsigned kMaxSeconds = std::numeric_limits<unsigned>::max() / 1000;
        header.timeout = std::min(timeoutSeconds, kMaxSeconds) * 1000;

        if (::ioctl(fd, SG_IO, &header) != 0) {
            result.systemError = errno;
            return result;
        }
        result.scsiStatus = header.status;  // masked_status is only an older, shifted copy
        result.senseLength = std::min<uint8_t>(header.sb_len_wr, result.sense.size());
        result.adapterStatus = adapterFailure(header);
        return result;
    }

    bool address(int fd, ScsiAddress& out) override {
        IdLun idLun{};
        if (::ioctl(fd, SCSI_IOCTL_GET_IDLUN, &idLun) != 0) return false;
        out.port = static_cast<uint8_t>(idLun.packed >> 24);
        out.path = static_cast<uint8_t>(idLun.packed >> 16);
        out.target = static_cast<uint8_t>(idLun.packed);
        out.lun = static_cast<uint8_t>(idLun.packed >> 8);
        return true;
    }
};

}  // namespace

std::unique_ptr<DeviceIo> makeSystemDeviceIo() {
    return std::make_unique<SgIoDeviceIo>();
}

}  // namespace lumbra
