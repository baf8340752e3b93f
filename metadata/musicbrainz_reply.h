// The MusicBrainz web service's disc ID replies (JSON): the releases a disc belongs to, each with
// the titles of the medium that is the disc.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// A longer reply is refused unread: no real disc's answer comes near it.
inline constexpr size_t kMusicBrainzReplyLimit = 4 << 20;

struct MusicBrainzTrack {
    std::string title;
    std::string artist;  // the joined artist credit
};

struct MusicBrainzRelease {
    std::string id;  // the release's MBID, which its cover art is filed under
    std::string title;
    std::string artist;  // the joined artist credit
    std::string year;    // four digits, or empty
    std::string genre;   // a name of kGenreNames, or empty
    std::vector<MusicBrainzTrack> tracks;
};

// The releases of a reply in its order, each with the medium that carries `discId`, or else the
// first one of `trackCount` tracks (a fuzzy match); releases with neither are left out. A
// release's genre is the most voted of its genres (else of its release group's) that kGenreNames
// names. Anything
// missing or of the wrong type reads as empty text; a reply that is not JSON, or longer than
// kMusicBrainzReplyLimit, has no releases. Never throws.
std::vector<MusicBrainzRelease> parseMusicBrainzReply(std::string_view json,
                                                      std::string_view discId, int trackCount);

// True for an MBID as the service writes it: 36 characters of lower-case hexadecimal digits and
// hyphens.
bool isMusicBrainzId(std::string_view id);

// The release as a disc information text: its artist and title, year, genre (the default genre
// when it has none), the track titles with
// their credits (creditedTitleLine), the credits line and the release's MBID in a line of its
// own. Line breaks inside values become spaces.
std::string musicBrainzDiscInfoText(const MusicBrainzRelease& release, uint32_t freedbId);

// The artist as the text's "artist / title" line holds it: the reader takes the artist up to the
// first slash, so one inside the name becomes the full-width slash that looks the same.
std::string musicBrainzArtistField(std::string_view artist);

// The name of the release's genre in kGenreNames, the default genre's when it has none.
std::string musicBrainzGenre(const MusicBrainzRelease& release);

// The line of a disc information text that names the release.
std::string musicBrainzReleaseLine(std::string_view releaseId);

// The release MBID a disc information text names; empty when it names none.
std::string musicBrainzReleaseOf(std::string_view discInfoText);

}  // namespace lumbra
