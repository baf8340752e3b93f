// What the tags of a track's file say, for every format alike: the values its file name is made
// from when the track starts, without control characters.
#pragma once

#include <cstdint>
#include <string>

#include "rip/track_encoder.h"

namespace lumbra {

inline constexpr const char* kEncoderName = "Lumbra CD Ripper";

struct TagValues {
    std::string title;
    std::string artist;       // the track's own artist, else the disc's
    std::string albumArtist;  // the disc's artist, for a track with an artist of its own only
    std::string album;
    std::string year;
    std::string genre;  // the genre's name; empty for an index outside the list
    std::string comment;
    std::string isrc;       // the track's recording code, empty when the disc gives none
    std::string catalogue;  // the disc's UPC/EAN, written as its barcode
    int32_t number = 0;     // 1 for the first track
    int32_t total = 0;      // tracks on the disc
};

// Empty texts stay empty: each format decides what it writes for them.
TagValues tagValuesOf(const TrackToEncode& track);

}  // namespace lumbra
