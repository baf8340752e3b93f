// Creating folders.
#pragma once

#include <string>

namespace lumbra::platform {

// Makes the folder unless it is there. True when it is a folder afterwards, whoever made it.
bool ensureFolder(const std::string& nativeFolder);

}  // namespace lumbra::platform
