// The tracks of a CUE sheet as libcue reads them, grouped by the file that holds them.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "plugins/virtualdrive/image_layout.h"

namespace lumbra::virtualdrive {

// The files of `text` in sheet order with their tracks (offsets and lengths not yet known), or
// why libcue found no usable sheet in it.
std::variant<std::vector<CueFile>, std::string> parseCueFiles(const std::string& text);

// The sheet's TITLE, PERFORMER and SONGWRITER of the disc and of each track, its CATALOG and the
// tracks' ISRC lines, in UTF-8; empty ones where the sheet has none or libcue cannot read it.
DiscTexts parseCueTexts(const std::string& text);

}  // namespace lumbra::virtualdrive
