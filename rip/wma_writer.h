// The Wma writers: straight from the CD, and from the temporary PCM file.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

void ripTrackToWma(const RipSession& session, RipContext& context);
void encodePcmToWma(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
