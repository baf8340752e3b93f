// The CD phase of a track that the anti-crackle setting sends through the temporary file: its
// CD audio, as read, into the file the encoder then reads back (temporary_pcm.h).
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

// Fills the temporary file at the context's output path, which the job has created for itself
// and removes on every path (no overwrite question), progress 0 to 40. True when the job may go
// on: read completely, or stopped. False when the track failed.
bool ripTrackToPcm(const RipSession& session, RipContext& context);

}  // namespace lumbra
