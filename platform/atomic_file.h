// Whole-file reads and crash-safe whole-file replacement.
#pragma once

#include <sys/types.h>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra::platform {

// The file's bytes, or nullopt when it cannot be read or is not a regular file (a FIFO, a device
// or a folder is never read from).
std::optional<std::string> readWholeFile(const std::string& path);

// Writes `content` to a temporary file beside `path`, flushes it to disk and renames it over
// `path`. The new file keeps the old file's permissions, or gets `newFileMode` (less the umask)
// when there was none; `forceMode` replaces both. False on any failure, with `path` untouched.
bool replaceFileAtomically(const std::string& path, std::string_view content,
                           mode_t newFileMode = 0666, std::optional<mode_t> forceMode = {});

}  // namespace lumbra::platform
