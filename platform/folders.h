// Creating folders.
#pragma once

#include <string>

namespace lumbra::platform {

// Makes the folder unless it is there. True when it is a folder afterwards, whoever made it;
// otherwise the system's reason goes to `reason` (when not null).
bool ensureFolder(const std::string& nativeFolder, std::string* reason = nullptr);

}  // namespace lumbra::platform
