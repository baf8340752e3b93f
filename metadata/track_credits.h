// A track's own artist beside the disc's: a compilation credits every track, and an album credits
// a guest on the tracks it sings. Every source hands credits over inside the titles of its disc
// information text as "artist / title", the form compilations have in CDDB entries, and the local
// disc database keeps them so; they are split from the title when the text is applied.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

// The line with which a text made from a source that credits its tracks says that every title
// holding " / " is "artist / title", even when the disc's artist is not a compilation's.
inline constexpr std::string_view kTrackCreditsLine = "TCREDITS=1\r\n";

// True when the titles of `text` carry their artists: the disc artist names a compilation
// ("Various", "Various Artists", "群星", in any case), or the text has the credits line or names a
// MusicBrainz release (the local database keeps the release, not the line).
bool titlesCarryCredits(std::string_view text, std::string_view discArtist);

// "artist / title" split at the first " / " into artist and title; nullopt when there is no
// separator or one side is empty.
std::optional<std::pair<std::string_view, std::string_view>> splitCredit(std::string_view title);

// The artist as a credit or a DTITLE line holds it: the readers split at the first slash, so one
// inside the name becomes the full-width slash that looks the same.
std::string creditArtist(std::string_view artist);

// The title line a text made from a crediting source holds: "artist / title" for a track whose
// artist is not the album's, and for a title that itself holds " / " (credited to the album's
// artist, so that the split leaves the title whole); the plain title otherwise.
std::string creditedTitleLine(std::string_view trackArtist, std::string_view albumArtist,
                              std::string_view title);

// The track's artist: its own, else the disc's.
const std::string& trackArtist(const TrackEntry& track, const DiscRecord& disc);

// The title as the track list, the progress and the file names show it: "artist / title" for a
// track with its own artist.
std::string creditedTitle(const TrackEntry& track);

}  // namespace lumbra
