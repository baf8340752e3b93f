// A disc's CD-Text as a disc information text, so that it is applied like any other source's
// result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cdaccess/cd_text.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

// DTITLE from the album's performer and title, DGENRE when the genre has a name in kGenreNames,
// and a TTITLE line for every entry of `tracks` (the n-th for CD-Text track firstTrack + n).
// What the CD-Text lacks keeps the value of `disc` or the entry; a track whose performer is not
// the album's gets its credit (creditedTitleLine), and the credits line ends the text. Empty
// when the CD-Text names no album, performer or track title.
std::string cdTextDiscInfoText(const CdText& text, uint32_t discId, int firstTrack,
                               const DiscRecord& disc, const std::vector<TrackEntry>& tracks);

}  // namespace lumbra
