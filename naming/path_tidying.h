// Turns an expanded output path (backslash form) into one that every file system can hold.
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

// Limits of one path component in bytes of UTF-8. The file name leaves room for the
// extension (".wav", ".ogg", ".mp3", ".wma") that is appended after tidying.
inline constexpr size_t kMaxNameBytes = 255;
inline constexpr size_t kMaxFileNameBytes = kMaxNameBytes - 4;

// `path` with blanks around backslashes, doubled backslashes and dots before backslashes
// removed and *?"<>|/ turned into "_" (three rounds), colons turned into "_" except at the
// second character, and components cut to their limits at a character boundary.
// A path that does not start with a backslash stays relative.
std::string tidyOutputPath(std::string_view path);

}  // namespace lumbra
