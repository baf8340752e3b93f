#include "platform/file_entries.h"

#include <sys/stat.h>
#include <unistd.h>
#include <climits>
#include <cstdlib>

namespace lumbra::platform {

bool entryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool mayReplaceByWriting(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return true;
    return !S_ISDIR(st.st_mode) && ::access(path.c_str(), W_OK) == 0;
}

std::string resolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace lumbra::platform
