// The driver that writes one track through its format's encoder, the same way for every format:
// the overwrite question, the output file, the CD reads or the temporary file, progress, stop,
// and whether the file is kept or deleted. Each ends the track with a final status and posts it.
#pragma once

#include "rip/rip_context.h"
#include "rip/track_encoder.h"

namespace lumbra {

// Encodes while the CD is read (progress 0 to 100). A track that does not end Done leaves no
// file.
void writeTrackFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                      const TrackToEncode& track);

// Encodes the temporary file the CD phase filled (progress 40 to 100) and deletes it. The output
// stays after a stop or an encoder failure, ended as far as the format can end it; a write
// error, or a temporary file that cannot be read to its end, leaves none.
void writeTrackFromPcm(const RipSession& session, ConvertContext& context, EncoderFactory& factory,
                       const TrackToEncode& track);

}  // namespace lumbra
