#include "platform/folders.h"

#include <sys/stat.h>

#include <filesystem>

namespace lumbra::platform {

// mkdir's own result is not the test: a folder that is already there is just what we want,
// and only a folder still missing afterwards (a file in the way, no permission) is a failure.
bool ensureFolder(const std::string& nativeFolder) {
    ::mkdir(nativeFolder.c_str(), 0777);
    std::error_code ignored;
    return std::filesystem::is_directory(nativeFolder, ignored);
}

}  // namespace lumbra::platform
