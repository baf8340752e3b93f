// The WAV writer, and the writer of the temporary PCM file that the compressed formats'
// converters read back when the anti-crackle setting is on.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

// Writes the context's track as a WAV file in the format its WAV settings declare. The outcome
// is in the track's status: Done, Cancelled or Failed (no file is left behind then).
void ripTrackToWav(const RipSession& session, RipContext& context);

// Writes the track's CD audio, as read, to the temporary file at the context's output path.
// True when the job may go on (read completely, or stopped: the file is then deleted); false
// when the track failed.
bool ripTrackToPcm(const RipSession& session, RipContext& context);

}  // namespace lumbra
