// Naming templates such as "<Artist> \ <Album> \ <Title>": a backslash or a slash separates
// folders, the placeholders <Artist>, <Album>, <Year> and <Title> (or all in lower case) take the
// disc's and the track's values. Other text in angle brackets is left as it is.
#pragma once

#include <string>
#include <string_view>

#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra {

// The template filled in for one track: blanks around backslashes removed, then the
// placeholders replaced in the fixed order (each step on the previous result).
std::string expandNamingTemplate(std::string_view namingTemplate, const DiscRecord& disc,
                                 const TrackEntry& track);

}  // namespace lumbra
