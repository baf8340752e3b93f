// One match line of a CDDB query reply: "category discid artist / title".
#pragma once

#include <optional>
#include <string_view>

#include "metadata/cddb_match.h"

namespace lumbra {

// The match of a line, or nullopt when the line has no category (no space, a space first, or no
// whole character before the first space) or its disc ID is not followed by a space. The category
// keeps 11 bytes, the disc ID 8 hexadecimal digits, artist and title 80 bytes each (cut at a
// character boundary); a line without " / " gives its whole rest to both.
std::optional<CddbMatch> parseMatchLine(std::string_view line);

}  // namespace lumbra
