// Paths travel through naming in backslash form ("\home\u\Music\Artist"), as the templates write
// them; they become native paths only where they reach the file system.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::platform {

std::string toNativePath(std::string_view backslashPath);
std::string toBackslashPath(std::string_view nativePath);

}  // namespace lumbra::platform
