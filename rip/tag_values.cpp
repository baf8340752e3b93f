#include "rip/tag_values.h"

#include <algorithm>

namespace lumbra {

std::string withoutControlCharacters(std::string text) {
    std::erase_if(text, [](char c) { return uint8_t(c) < 0x20 || uint8_t(c) == 0x7F; });
    return text;
}

TagValues tagValuesOf(const TrackToEncode& track) {
    const DiscRecord& disc = track.disc;
    const bool knownGenre = disc.genre >= 0 && disc.genre < kGenreCount;
    return {withoutControlCharacters(track.track.title),
            withoutControlCharacters(disc.artist),
            withoutControlCharacters(disc.album),
            withoutControlCharacters(disc.year),
            knownGenre ? std::string(kGenreNames[size_t(disc.genre)]) : "",
            withoutControlCharacters(disc.comment),
            track.track.number,
            track.trackCount};
}

}  // namespace lumbra
