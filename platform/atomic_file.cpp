#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

#include "platform/unique_fd.h"

namespace lumbra::platform {
namespace {

mode_t currentUmask() {
    const mode_t mask = umask(0);
    umask(mask);
    return mask;
}

mode_t targetMode(const std::string& path, mode_t newFileMode, std::optional<mode_t> forceMode) {
    if (forceMode) return *forceMode;
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    return newFileMode & ~currentUmask();
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(size_t(n));
    }
    return true;
}

}  // namespace

std::optional<std::string> readWholeFile(const std::string& path) {
    // Non-blocking, so that opening a FIFO cannot hold the caller up; only regular files are read.
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat st {};
    if (!fd || fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string text;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) return text;
        text.append(buffer, size_t(n));
    }
}

bool replaceFileAtomically(const std::string& path, std::string_view content, mode_t newFileMode,
                           std::optional<mode_t> forceMode) {
    const mode_t mode = targetMode(path, newFileMode, forceMode);
    std::string tempPath = path + ".XXXXXX";
    UniqueFd fd(mkstemp(tempPath.data()));
    if (!fd) return false;
    const bool written = fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), content) &&
                         fsync(fd.get()) == 0 && fd.close();
    if (!written || rename(tempPath.c_str(), path.c_str()) != 0) {
        unlink(tempPath.c_str());
        return false;
    }
    return true;
}

}  // namespace lumbra::platform
