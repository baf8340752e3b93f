// Questions about a name in a folder that writers ask before they create a file there.
#pragma once

#include <string>

namespace lumbra::platform {

// Whether anything has the name `path`: a file this user may not read, a folder or a dangling
// symbolic link counts too.
bool entryExists(const std::string& path);

// Whether a file written at `path` may take its place: nothing is there, or a file this user
// could open for writing (never a folder).
bool mayReplaceByWriting(const std::string& path);

// The path with its symbolic links followed (/dev/cdrom becomes /dev/sr0), or the path as given
// when it cannot be resolved.
std::string resolvedPath(const std::string& path);

}  // namespace lumbra::platform
