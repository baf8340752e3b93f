// The Ogg Vorbis writers: straight from the CD, and from the temporary PCM file, which the
// converter deletes on every path. Both end the track with a final status and post it.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

void ripTrackToOgg(const RipSession& session, RipContext& context);
void encodePcmToOgg(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
