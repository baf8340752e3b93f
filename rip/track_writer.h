// The driver that writes one track through its format's encoder, the same way for every format:
// the overwrite question, the output file, the CD reads or the temporary file, progress, stop,
// and whether the file is kept or deleted. Each ends the track with a final status and posts it.
#pragma once

#include "rip/rip_context.h"
#include "rip/track_encoder.h"

namespace lumbra {

// Encodes while the CD is read (progress 0 to 100). The file is written under a hidden part
// name and gets its final name when the track ends Done; any other track leaves no file.
void writeTrackFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                      const TrackToEncode& track);

// Encodes the temporary file the CD phase filled (progress 40 to 100), with the same rule for the
// output file: it appears under its final name only when the track ends Done.
void writeTrackFromPcm(const RipSession& session, ConvertContext& context, EncoderFactory& factory,
                       const TrackToEncode& track);

}  // namespace lumbra
