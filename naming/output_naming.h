// The output path of each ripped track, in backslash form until it reaches the file system.
// The rip job starts from outputPathBase, appends expandNamingTemplate's result, prepares the
// path, then appends the extension of the track's format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "naming/naming_template.h"

namespace lumbra {

// Tidies `path` (backslash form) in place and creates the folders along it (everything up to
// its last backslash). 1, or 0 with the two-line message in `message` (when not null).
int prepareOutputPath(std::string& path, std::string* message);

// The base every output path starts from, in backslash form: the output folder (a native path)
// converted and followed by "\", or "" for an empty folder (the current folder).
std::string outputPathBase(std::string_view outputFolder);

// ".wav", ".ogg", ".mp3", ".wma" by OutputFormat; "" for anything else.
std::string_view extensionFor(int32_t format);

// The native path of a tidied backslash path, for opening the file.
std::string nativeOutputPath(std::string_view backslashPath);

}  // namespace lumbra
