// The driver that writes one track through its format's encoder, the same way for every format:
// the output file, the CD reads or an audio source, stop, and whether the file is kept or
// deleted (a track read straight from the CD also gets the overwrite question here). Each ends the
// track with a final status and posts it.
#pragma once

#include <memory>
#include <string>

#include "rip/audio_source.h"
#include "rip/rip_context.h"
#include "rip/track_encoder.h"

namespace lumbra {

// Encodes while the CD is read (progress 0 to 100). The file is written under a hidden part
// name and gets its final name when the track ends Done; any other track leaves no file.
void writeTrackFromCd(const RipSession& session, RipContext& context, EncoderFactory& factory,
                      const TrackToEncode& track);

// Encodes the track's audio as `source` gives it, on whichever thread calls it, with the same rule
// for the output file; ends the track, releases the source and posts the final status. A stop
// seen before the track starts ends it at once.
void writeTrackFromSource(const RipSession& session, TrackEntry& track, AudioSource& source,
                          std::unique_ptr<TrackEncoder> encoder, const std::string& outputPath);

}  // namespace lumbra
