#include "platform/folders.h"

#include <sys/stat.h>
#include <cerrno>
#include <system_error>

#include <filesystem>

namespace lumbra::platform {

// mkdir's own result is not the test: a folder that is already there is just what we want,
// and only a folder still missing afterwards (a file in the way, no permission) is a failure.
bool ensureFolder(const std::string& nativeFolder, std::string* reason) {
    const int made = ::mkdir(nativeFolder.c_str(), 0777);
    const int error = made == 0 ? 0 : errno;
    std::error_code ignored;
    if (std::filesystem::is_directory(nativeFolder, ignored)) return true;
    // EEXIST here means a file, not a folder, holds the name.
    if (reason) *reason = std::system_category().message(error == EEXIST ? ENOTDIR : error);
    return false;
}

}  // namespace lumbra::platform
