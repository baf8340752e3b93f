// Turns an expanded naming template (backslash form) into a name that every file system can hold
// and that stays inside the output folder.
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

// Limits of one path component in bytes of UTF-8. The file name leaves room for the longest
// extension (".flac", ".opus") that is appended after tidying.
inline constexpr size_t kMaxNameBytes = 255;
inline constexpr size_t kMaxExtensionBytes = 5;
inline constexpr size_t kMaxFileNameBytes = kMaxNameBytes - kMaxExtensionBytes;

// `name` with control characters turned into "_", blanks around backslashes, doubled
// backslashes and dots before backslashes removed and *?"<>|/ turned into "_" (three rounds),
// colons turned into "_", leading backslashes dropped and components cut to their limits at a
// character boundary. The result is relative and has no "." or ".." folder, whatever the values
// held.
std::string tidyOutputName(std::string_view name);

}  // namespace lumbra
