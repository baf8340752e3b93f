#include "rip/tag_values.h"

#include "metadata/track_credits.h"
#include "platform/control_characters.h"

namespace lumbra {

TagValues tagValuesOf(const TrackToEncode& track) {
    const DiscRecord& disc = track.disc;
    const bool knownGenre = disc.genre >= 0 && disc.genre < kGenreCount;
    // A track by the album's artist needs no album artist: players fall back to the artist.
    const bool ownArtist = !track.track.artist.empty();
    return {platform::withoutControlCharacters(track.track.title),
            platform::withoutControlCharacters(trackArtist(track.track, disc)),
            ownArtist ? platform::withoutControlCharacters(disc.artist) : std::string(),
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
