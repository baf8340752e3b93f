#include "platform/disk_space.h"

#include <sys/statvfs.h>

namespace lumbra::platform {

std::optional<uint64_t> freeDiskBytes(const std::string& folder) {
    struct statvfs fs {};
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &fs) != 0) return std::nullopt;
    return uint64_t(fs.f_bavail) * uint64_t(fs.f_frsize);
}

}  // namespace lumbra::platform
