// Discs from CUE sheets: BINARY files of raw little-endian samples and WAVE files, found
// relative to the sheet's folder and read on demand.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

// The disc that the sheet at `path` describes, or a one-line reason why it cannot be used
// (unreadable sheet, missing or short file, unknown mode, bad time, unparsable text).
std::variant<std::unique_ptr<Disc>, std::string> loadCueSheet(const std::string& path);

}  // namespace lumbra::virtualdrive
