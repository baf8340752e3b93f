// Fails a track whose format this build cannot write yet, with a plain reason.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

void failUnavailableEncoder(const RipSession& session, TrackEntry& track, const std::string& path);

}  // namespace lumbra
