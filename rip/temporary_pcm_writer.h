// The CD phase of a track that the anti-crackle setting sends through the temporary file: its
// CD audio, as read, into the file a converter then encodes (track_writer.h).
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

// Fills the temporary file at the context's output path (no overwrite question; an old one is
// replaced), progress 0 to 40. True when the job may go on: read completely, or stopped (the
// file is then deleted). False when the track failed; after a read error the file stays for a
// look at what was read.
bool ripTrackToPcm(const RipSession& session, RipContext& context);

}  // namespace lumbra
