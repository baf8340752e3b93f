// The comments of the formats that carry Vorbis-style comment fields besides Ogg Vorbis (FLAC,
// Opus): the Ogg Vorbis file's fields, and the disc's comment when it has one.
#pragma once

#include "rip/tag_values.h"
#include "rip/vorbis_setup.h"

namespace lumbra {

// ENCODER, TITLE, ARTIST, ALBUM, DATE, GENRE, TRACKNUMBER, TRACKTOTAL as in an Ogg Vorbis file
// (empty texts left out but the genre), then COMMENT when not empty.
VorbisComments xiphCommentsFor(const TagValues& tags);

}  // namespace lumbra
