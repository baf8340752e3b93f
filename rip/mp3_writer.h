// The MP3 writers: straight from the CD, and from the temporary PCM file. Both encode through
// the encoder library the rip job loaded, append the ID3 version 1 tag when tags are on, and
// report only through the track's status and progress posts.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

// Deletes the file when the track fails or is stopped.
void ripTrackToMp3(const RipSession& session, RipContext& context);
// Deletes the temporary file before it returns. The output stays after a stop or an encoder
// failure (flushed and tagged as far as it got); a write error deletes it.
void encodePcmToMp3(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
