// The ID3 version 2.3 tag at the start of an MP3 file: the track's fields as UTF-16 text frames,
// which players everywhere read whatever the script (the version 1 tag at the end is GBK).
#pragma once

#include <cstdint>
#include <vector>

#include "rip/tag_values.h"

namespace lumbra {

// Title, artist, album, year, "n/total", genre, comment, ISRC, barcode (a TXXX frame) and the
// encoder; an empty field has no frame.
std::vector<uint8_t> id3v2Tag(const TagValues& tags);

}  // namespace lumbra
