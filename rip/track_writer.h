// The driver that writes one track through its format's encoder, the same way for every format:
// the overwrite question, the output file, the CD reads or the temporary file, progress, stop,
// and whether the file is kept or deleted. Each ends the track with a final status and posts it.
#pragma once

#include <memory>

#include "rip/overlapped_track.h"
#include "rip/rip_context.h"
#include "rip/track_audio.h"
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

// Encodes the audio the job's reader hands over through `audio` while it reads (on an encoder
// thread), with the same rule for the output file; ends the track, gives `audio` up and posts the
// final status. A stop seen before the track starts ends it at once.
void writeTrackFromAudio(const RipSession& session, TrackEntry& track, TrackAudio& audio,
                         std::unique_ptr<TrackEncoder> encoder, const TrackToEncode& input,
                         SharedProgress& progress);

}  // namespace lumbra
