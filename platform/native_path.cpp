#include "platform/native_path.h"

#include <algorithm>

namespace lumbra::platform {

std::string toNativePath(std::string_view backslashPath) {
    std::string path(backslashPath);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string toBackslashPath(std::string_view nativePath) {
    std::string path(nativePath);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

}  // namespace lumbra::platform
