// The stream record turned into libmp3lame settings.
#pragma once

#include <lame/lame.h>

#include "rip/lame_entry_points.h"

namespace lumbra::lame_plugin {

// kLameOk when the record's layout, version, size, rate and mode are ones this library reads.
LameResult checkRecord(const LameStreamConfig& config);

// The channels of the samples the caller hands over: one for a mono stream, else two.
int inputChannels(const LameStreamConfig& config);

// Sets up `lame` for the record and initialises it; false when libmp3lame refuses.
bool configureEncoder(lame_global_flags* lame, const LameStreamConfig& config);

}  // namespace lumbra::lame_plugin
