#include "platform/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return std::move(buffer).str();
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
