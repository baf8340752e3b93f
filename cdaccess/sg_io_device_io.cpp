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
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <span>

#include "cdaccess/device_io.h"

namespace lumbra {
namespace {

constexpr unsigned kScsiCdromMajor = 11;
// driver_status: the low nibble is the driver's verdict, where "sense follows" is no failure.
constexpr unsigned kDriverVerdictMask = 0x0F;
constexpr unsigned kDriverSense = 0x08;
// ATAPI and usb-storage move data only to 512-byte aligned addresses and lengths; the kernel
// copies anything else through pages of its own.
constexpr std::size_t kDmaAlignment = 512;
constexpr std::size_t kPageBytes = 4096;

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

struct FreeAligned {
    void operator()(uint8_t* p) const { std::free(p); }
};

// A data-in buffer the kernel maps as it is, instead of copying through zero-filled pages of its
// own: through those, a drive that claims success without sending anything leaves zeros that
// look like silence, where our own buffer keeps what the caller put there to catch it.
class AlignedBuffer {
public:
    std::span<uint8_t> hold(std::size_t length) {
        const std::size_t size = std::max(kDmaAlignment, roundUp(length));
        if (size > capacity_) {
            auto* p =
                static_cast<uint8_t*>(std::aligned_alloc(kPageBytes, roundUp(size, kPageBytes)));
            if (p == nullptr) return {};
            data_.reset(p);
            capacity_ = size;
        }
        return {data_.get(), size};
    }

private:
    static std::size_t roundUp(std::size_t n, std::size_t unit = kDmaAlignment) {
        return (n + unit - 1) / unit * unit;
    }
    std::unique_ptr<uint8_t, FreeAligned> data_;
    std::size_t capacity_ = 0;
};

// One per thread, as every thread drives its own handle; a rip reuses it for every read.
thread_local AlignedBuffer tDataInBuffer;

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
        const bool dataIn = transfers && direction == TransferDirection::In;
        std::span<uint8_t> data(buffer, transfers ? length : 0);
        if (dataIn) {
            data = tDataInBuffer.hold(length);
            if (data.empty()) return {.systemError = ENOMEM};
            // What the caller put in must still be there where the drive writes nothing.
            std::copy_n(buffer, length, data.begin());
            std::fill(data.begin() + length, data.end(), uint8_t(0));
        }
        sg_io_hdr_t header{};
        header.interface_id = 'S';
        header.dxfer_direction = transfers ? directionCode(direction) : SG_DXFER_NONE;
        header.cmd_len = cdbLength;
        header.cmdp = const_cast<unsigned char*>(cdb);
        header.dxfer_len = unsigned(data.size());
        header.dxferp = data.empty() ? nullptr : data.data();
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
        if (dataIn) {
            const std::size_t missing =
                header.resid > 0 ? std::min<std::size_t>(std::size_t(header.resid), data.size())
                                 : 0;
            const std::size_t arrived = data.size() - missing;
            result.residual = arrived < length ? uint32_t(length - arrived) : 0;
            std::copy_n(data.begin(), length, buffer);
        }
        return result;
    }

    // The sg reserved size is the block layer's transfer limit for this queue (never above what
    // it maps in one request); the queue's own figure in sysfs is the fallback.
    uint32_t maxTransferLength(int fd) override {
        int reserved = 0;
        if (::ioctl(fd, SG_GET_RESERVED_SIZE, &reserved) == 0 && reserved > 0) {
            return uint32_t(reserved) / kDmaAlignment * kDmaAlignment;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0) return 0;
        const std::string path = "/sys/dev/block/" + std::to_string(major(info.st_rdev)) + ":" +
                                 std::to_string(minor(info.st_rdev)) + "/queue/max_hw_sectors_kb";
        uint32_t kib = 0;
        std::ifstream file(path);
        return file >> kib && kib <= UINT32_MAX / 1024 ? kib * 1024 : 0;
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
