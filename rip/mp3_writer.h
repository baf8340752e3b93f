// The Mp3 writers: straight from the CD, and from the temporary PCM file.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

void ripTrackToMp3(const RipSession& session, RipContext& context);
void encodePcmToMp3(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
