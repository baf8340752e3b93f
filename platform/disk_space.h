// How much room the file system of a folder has left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumbra::platform {

// The bytes an unprivileged program may still write in `folder` ("" is the current folder);
// empty when the system cannot tell (the folder is missing, say).
std::optional<uint64_t> freeDiskBytes(const std::string& folder);

}  // namespace lumbra::platform
