// The disc information text: "key=value" lines in which every metadata source (a CDDB server, the
// local disc database) hands its result over.
#pragma once

#include <string_view>
#include <vector>

#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

// Applies the text's DTITLE, DYEAR, DGENRE and TTITLEn lines to the record and to the track
// titles, the n-th title to the n-th entry; where the titles carry credits (titlesCarryCredits),
// "artist / title" gives the entry its own artist too. Malformed text ends the scan early and keeps
// what was applied so far; values longer than 83 bytes are cut at a character boundary. Any bytes
// are accepted.
void applyDiscInfoText(std::string_view text, DiscRecord& record, std::vector<TrackEntry>& tracks);

}  // namespace lumbra
