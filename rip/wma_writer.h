// The WMA writers: straight from the CD, and from the temporary PCM file. Both load the writer
// library for the track and convert the samples to the rate and channels the library is told.
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

// Stopped or failed tracks leave no file.
void ripTrackToWma(const RipSession& session, RipContext& context);
// Deletes the temporary file on every path. A stopped track keeps the part written; a write
// error leaves no file.
void encodePcmToWma(const RipSession& session, ConvertContext& context);

}  // namespace lumbra
