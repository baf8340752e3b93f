#include "rip/tag_values.h"

#include "platform/control_characters.h"

namespace lumbra {

TagValues tagValuesOf(const TrackToEncode& track) {
    const DiscRecord& disc = track.disc;
    const bool knownGenre = disc.genre >= 0 && disc.genre < kGenreCount;
    return {platform::withoutControlCharacters(track.track.title),
            platform::withoutControlCharacters(disc.artist),
            platform::withoutControlCharacters(disc.album),
            platform::withoutControlCharacters(disc.year),
            knownGenre ? std::string(kGenreNames[size_t(disc.genre)]) : "",
            platform::withoutControlCharacters(disc.comment),
            platform::withoutControlCharacters(track.track.isrc),
            platform::withoutControlCharacters(disc.catalogue),
            track.track.number,
            track.trackCount};
}

}  // namespace lumbra
