// The 128-byte ID3 version 1 tag at the end of an MP3 file, its text in GBK (code page 936).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

inline constexpr size_t kId3v1TagSize = 128;

// The tag of `track`: title, artist, album, year and comment (each with its default when empty)
// cut to their fields at a character boundary; the comment keeps 29 bytes, as the byte after
// them is the track number.
std::array<uint8_t, kId3v1TagSize> id3v1Tag(const TrackEntry& track, const DiscRecord& disc);

}  // namespace lumbra
