// The MusicBrainz disc ID: how the MusicBrainz database files a disc, from the audio session of
// its table of contents.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cdaccess/disc_toc.h"

namespace lumbra {

// The audio session as MusicBrainz counts it: addresses in frames with the 150-frame lead-in.
// Data tracks behind the last audio track (the second session of an Enhanced CD) are left out,
// and the audio then ends 11,400 frames before the first of them when it is long enough to.
struct MusicBrainzToc {
    int firstTrack = 0;
    int lastTrack = 0;
    int leadOut = 0;
    std::vector<int> offsets;  // of tracks firstTrack..lastTrack
};

// nullopt for a table that cannot be right (no tracks, more than 99, an address going back).
std::optional<MusicBrainzToc> musicBrainzToc(const TocBuffer& toc, bool msf);

// The 28 characters of the ID: SHA-1 over the hexadecimal first and last track numbers, lead-out
// and 99 offsets (0 for tracks the disc does not have), in MusicBrainz's Base64 alphabet.
std::string musicBrainzDiscId(const MusicBrainzToc& toc);

// The "toc" parameter of a fuzzy lookup: first, last, lead-out and the offsets joined by "+".
std::string musicBrainzTocParameter(const MusicBrainzToc& toc);

}  // namespace lumbra
