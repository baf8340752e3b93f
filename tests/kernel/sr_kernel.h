// The part of the kernel that a program reaching CD drives through /dev/srN meets: nodes that
// open under permission rules, SG_IO through the command filter and the block layer's transfer
// limit and bounce pages, the host numbers of the SCSI midlayer, and a device that goes offline
// after a command times out. The drives behind it are virtual drives.
#pragma once

#include <scsi/sg.h>
#include <sys/stat.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "kernel/sr_rules.h"
#include "plugins/virtualdrive/virtual_drive.h"

namespace lumbra::test {

class SrKernel {
public:
    static SrKernel& instance();

    // Brings up drives holding `discs` with `faults` (as the virtual drive library reads them)
    // under `rules`; every earlier state (offline devices, locks, open nodes) is forgotten.
    int configure(std::string_view discs, std::string_view faults, std::string_view rules);

    // The drive number of a path /dev/srN, or nothing when the path names no such node.
    std::optional<int> nodeOf(const char* path);
    bool isOurs(int fd);
    // 0, or -1 with errno, as the system calls.
    int statNode(int drive, struct stat& out);
    int statDescriptor(int fd, struct stat& out);
    // A descriptor that stands for the node from now on, or -1 with errno.
    int openNode(int drive, int flags, int placeholderFd);
    void closed(int fd);
    int ioctl(int fd, unsigned long request, void* argument);

private:
    struct Drive {
        std::shared_ptr<virtualdrive::VirtualDrive> drive;
        bool offline = false;
        bool spunUp = false;
        bool resetPending = false;
    };
    struct OpenNode {
        int drive;
        bool writable;
    };

    int configureLocked(std::string_view discs, std::string_view faults, std::string_view rules);
    // Without a configure() call, the environment decides: LUMBRA_VIRTUAL_DISCS and
    // LUMBRA_VIRTUAL_FAULTS as for the virtual drive library, and LUMBRA_SR_RULES.
    void ensureConfigured();
    int sgIo(const OpenNode& node, sg_io_hdr_t& header);
    int runCommand(Drive& drive, const virtualdrive::Cdb& cdb, sg_io_hdr_t& header);

    // Loading discs opens and closes files, which come back here: the descriptor table has a
    // lock of its own, taken after mutex_ or alone, never the other way round.
    std::mutex mutex_;
    std::mutex fdMutex_;
    bool configured_ = false;
    SrRules rules_;
    std::vector<Drive> drives_;
    std::map<int, OpenNode> open_;
};

}  // namespace lumbra::test
