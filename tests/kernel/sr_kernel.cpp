#include "kernel/sr_kernel.h"

#include <fcntl.h>
#include <scsi/scsi.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cdaccess/mmc_opcodes.h"
#include "plugins/virtualdrive/virtual_drive_library.h"

namespace lumbra::test {
namespace {

using virtualdrive::Cdb;
using virtualdrive::CommandOutcome;
using virtualdrive::Sense;

constexpr unsigned kSrMajor = 11;
constexpr uint8_t kStatusCheckCondition = 0x02;
constexpr uint8_t kHostNoConnect = 0x01;
constexpr uint8_t kHostTimeOut = 0x03;
constexpr uint8_t kHostError = 0x07;
constexpr uint8_t kDriverSense = 0x08;
constexpr uintptr_t kDmaAlignment = 512;
constexpr uint32_t kFrameBytes = 2352;
constexpr Sense kPowerOnReset{0x06, 0x29, 0x00};
constexpr Sense kRecoveredWithRetries{0x01, 0x17, 0x01};

// What a user without CAP_SYS_RAWIO may send: the first list on any open node, the second only
// on one opened for writing. Vendor commands are in neither.
bool allowedForUser(uint8_t opcode, bool writable) {
    static constexpr uint8_t kReadOk[] = {
        kOpTestUnitReady, 0x03, kOpInquiry, 0x1A, kOpStartStopUnit,
        kOpRead10,        0x42, kOpReadToc, 0x46, 0x4A,
        kOpPauseResume,   0x51, 0x5A,       0xB9, kOpReadCd};
    static constexpr uint8_t kWriteOk[] = {
        kOpModeSelect6, kOpPreventAllowMediumRemoval, kOpModeSelect10, 0xA6, 0xB6, kOpSetCdSpeed};
    const auto in = [opcode](const auto& list) {
        return std::find(std::begin(list), std::end(list), opcode) != std::end(list);
    };
    return in(kReadOk) || (writable && in(kWriteOk));
}

bool needsMedium(uint8_t opcode) {
    return opcode == kOpReadToc || audioReadFields(opcode).countWidth != 0;
}

uint32_t audioReadBytes(const Cdb& cdb) {
    const AudioReadFields fields = audioReadFields(cdb[0]);
    uint32_t frames = 0;
    for (uint8_t i = 0; i < fields.countWidth; ++i)
        frames = frames << 8 | cdb[fields.countOffset + i];
    return frames * kFrameBytes;
}

void reportSense(sg_io_hdr_t& header, const Sense& sense) {
    uint8_t fixed[18] = {0x70, 0, sense.key};
    fixed[7] = 10;
    fixed[12] = sense.asc;
    fixed[13] = sense.ascq;
    header.status = kStatusCheckCondition;
    header.masked_status = kStatusCheckCondition >> 1;
    header.driver_status = kDriverSense;
    const auto length = std::min<size_t>(header.mx_sb_len, sizeof fixed);
    if (header.sbp && length) std::memcpy(header.sbp, fixed, length);
    header.sb_len_wr = uint8_t(header.sbp ? length : 0);
}

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

SrKernel& SrKernel::instance() {
    // Never destroyed: the program may still close descriptors after static destructors ran.
    static SrKernel* const kernel = new SrKernel;
    return *kernel;
}

int SrKernel::configure(std::string_view discs, std::string_view faults, std::string_view rules) {
    std::lock_guard lock(mutex_);
    return configureLocked(discs, faults, rules);
}

int SrKernel::configureLocked(std::string_view discs, std::string_view faults,
                              std::string_view rules) {
    configured_ = true;
    rules_ = parseSrRules(rules);
    for (const std::string& item : rules_.ignoredItems) {
        std::fprintf(stderr, "sr stand-in: ignoring the rule \"%s\"\n", item.c_str());
    }
    auto& library = virtualdrive::VirtualDriveLibrary::instance();
    const int count = library.configure(discs, faults);
    drives_.clear();
    {
        std::lock_guard fdLock(fdMutex_);
        open_.clear();
    }
    for (int i = 0; i < count; ++i) {
        auto drive = library.driveAt(i / virtualdrive::kTargetsPerAdapter,
                                     i % virtualdrive::kTargetsPerAdapter, 0);
        // udev locks the tray of every optical drive it sees.
        if (rules_.doorLocked) drive->execute({kOpPreventAllowMediumRemoval, 0, 0, 0, 1, 0}, {});
        drives_.push_back({std::move(drive), false, false, rules_.resetPending});
    }
    return count;
}

void SrKernel::ensureConfigured() {
    if (configured_) return;
    configureLocked(environment("LUMBRA_VIRTUAL_DISCS"), environment("LUMBRA_VIRTUAL_FAULTS"),
                    environment("LUMBRA_SR_RULES"));
}

std::optional<int> SrKernel::nodeOf(const char* path) {
    constexpr std::string_view kPrefix = "/dev/sr";
    const std::string_view p = path ? path : "";
    if (!p.starts_with(kPrefix) || p.size() == kPrefix.size()) return {};
    int n = 0;
    for (char c : p.substr(kPrefix.size())) {
        if (c < '0' || c > '9' || n > 1000) return {};
        n = n * 10 + (c - '0');
    }
    return n;
}

bool SrKernel::isOurs(int fd) {
    std::lock_guard lock(fdMutex_);
    return open_.contains(fd);
}

int SrKernel::statNode(int drive, struct stat& out) {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    if (drive >= int(drives_.size())) {
        errno = ENOENT;
        return -1;
    }
    out = {};
    out.st_mode = S_IFBLK | 0660;
    out.st_rdev = makedev(kSrMajor, unsigned(drive));
    return 0;
}

int SrKernel::statDescriptor(int fd, struct stat& out) {
    int drive = 0;
    {
        std::lock_guard lock(fdMutex_);
        const auto found = open_.find(fd);
        if (found == open_.end()) {
            errno = EBADF;
            return -1;
        }
        drive = found->second.drive;
    }
    return statNode(drive, out);
}

int SrKernel::openNode(int drive, int flags, int placeholderFd) {
    std::lock_guard lock(mutex_);
    ensureConfigured();
    const bool writable = (flags & O_ACCMODE) != O_RDONLY;
    int error = 0;
    if (drive >= int(drives_.size()))
        error = ENOENT;
    else if (drives_[size_t(drive)].offline)
        error = ENXIO;
    else if (rules_.access == NodeAccess::None)
        error = EACCES;
    else if (rules_.access == NodeAccess::ReadOnly && writable)
        error = EACCES;
    if (error != 0) {
        errno = error;
        return -1;
    }
    std::lock_guard fdLock(fdMutex_);
    open_[placeholderFd] = {drive, writable};
    return placeholderFd;
}

void SrKernel::closed(int fd) {
    std::lock_guard lock(fdMutex_);
    open_.erase(fd);
}

int SrKernel::ioctl(int fd, unsigned long request, void* argument) {
    OpenNode node{};
    {
        std::lock_guard fdLock(fdMutex_);
        const auto found = open_.find(fd);
        if (found == open_.end()) {
            errno = EBADF;
            return -1;
        }
        node = found->second;
    }
    std::lock_guard lock(mutex_);
    switch (request) {
        case SG_IO:
            return sgIo(node, *static_cast<sg_io_hdr_t*>(argument));
        case SCSI_IOCTL_GET_IDLUN: {
            // target | LUN << 8 | channel << 16 | host << 24; libata puts each drive on a host.
            const uint32_t host = (rules_.firstHost + unsigned(node.drive)) & 0xFF;
            static_cast<uint32_t*>(argument)[0] = host << 24;
            static_cast<uint32_t*>(argument)[1] = host;
            return 0;
        }
        case SG_GET_RESERVED_SIZE:
            *static_cast<int*>(argument) = int(rules_.maxTransferBytes);
            return 0;
        default:
            errno = ENOTTY;
            return -1;
    }
}

int SrKernel::sgIo(const OpenNode& node, sg_io_hdr_t& header) {
    if (header.interface_id != 'S' || header.cmd_len < 6 || header.cmd_len > 16 || !header.cmdp) {
        errno = EINVAL;
        return -1;
    }
    Cdb cdb{};
    std::copy_n(header.cmdp, header.cmd_len, cdb.begin());
    if (rules_.commandFilter && !allowedForUser(cdb[0], node.writable)) {
        errno = EPERM;
        return -1;
    }
    if (header.dxfer_len > rules_.maxTransferBytes) {
        errno = EIO;
        return -1;
    }
    header.status = header.masked_status = header.host_status = header.driver_status = 0;
    header.sb_len_wr = 0;
    header.resid = 0;
    Drive& drive = drives_[size_t(node.drive)];
    if (drive.offline) {
        header.host_status = kHostNoConnect;
        return 0;
    }
    if (needsMedium(cdb[0]) && !drive.spunUp) {
        drive.spunUp = true;
        // The error handler resets the port and, with the drive still silent, gives it up.
        if (uint64_t(rules_.spinUpSeconds) * 1000 > header.timeout) {
            drive.offline = true;
            header.host_status = kHostTimeOut;
            return 0;
        }
    }
    if (drive.resetPending && cdb[0] != kOpInquiry) {
        drive.resetPending = false;
        reportSense(header, kPowerOnReset);
        return 0;
    }
    return runCommand(drive, cdb, header);
}

int SrKernel::runCommand(Drive& drive, const Cdb& cdb, sg_io_hdr_t& header) {
    const bool dataIn = header.dxfer_direction == SG_DXFER_FROM_DEV && header.dxfer_len > 0;
    const bool dataOut = header.dxfer_direction == SG_DXFER_TO_DEV && header.dxfer_len > 0;
    auto* user = static_cast<uint8_t*>(header.dxferp);
    const size_t length = dataIn || dataOut ? header.dxfer_len : 0;
    // A buffer the device cannot reach directly goes through pages the kernel zeroes, and all
    // of them are copied back, whatever the device wrote.
    const bool bounced = dataIn && ((reinterpret_cast<uintptr_t>(user) | length) % kDmaAlignment);
    std::vector<uint8_t> pages(bounced ? length : 0);
    const std::span<uint8_t> data = bounced ? std::span<uint8_t>(pages) : std::span(user, length);

    const bool audioRead = audioReadFields(cdb[0]).countWidth != 0;
    uint32_t arrived = audioRead ? std::min<uint32_t>(audioReadBytes(cdb), uint32_t(length)) : 0;
    const bool cutShort = audioRead && rules_.shortReads && arrived >= kFrameBytes;
    std::vector<uint8_t> lostFrame;
    if (cutShort) lostFrame.assign(data.begin() + (arrived - kFrameBytes), data.begin() + arrived);

    const CommandOutcome outcome = drive.drive->execute(cdb, data);
    if (cdb[0] == kOpPreventAllowMediumRemoval && rules_.lockHeld) {
        drive.drive->execute({kOpPreventAllowMediumRemoval, 0, 0, 0, 1, 0}, {});
    }
    if (cutShort) {
        arrived -= kFrameBytes;
        std::copy(lostFrame.begin(), lostFrame.end(), data.begin() + arrived);
    }
    if (bounced) std::copy(pages.begin(), pages.end(), user);
    if (audioRead) header.resid = int(length - arrived);

    switch (outcome.kind) {
        case CommandOutcome::Kind::Good:
            if (audioRead && rules_.recoveredErrors) reportSense(header, kRecoveredWithRetries);
            break;
        case CommandOutcome::Kind::CheckCondition:
            reportSense(header, outcome.sense);
            break;
        case CommandOutcome::Kind::DataOverrun:
            header.host_status = kHostError;
            break;
    }
    return 0;
}

}  // namespace lumbra::test
