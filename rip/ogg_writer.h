// The Ogg writers: straight from the CD, and from the temporary PCM file.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

void ripTrackToOgg(const RipSession& session, RipContext& context);
void encodePcmToOgg(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
