// What a track's MP3 settings hand to the encoder, and the samples that go with it.
#pragma once

#include <string>

#include "rip/lame_stream_config.h"
#include "rip/sample_conversion.h"
#include "settings/encoder_settings.h"

namespace lumbra {

// The stream record for the settings: their rate (44100 when the index names none), mode,
// bitrates, preset and VBR choice, MPEG-1, the original bit and the bit reservoir off.
LameStreamConfig lameStreamConfigFor(const Mp3Settings& settings);

// The samples the record declares: its input rate, one channel for mono, else two; 16 bits.
PcmFormat declaredInputFormat(const LameStreamConfig& config);

// The record's settings as the user knows them, for messages: "44100 Hz, 立体声, ...".
std::string describeStreamSettings(const LameStreamConfig& config);

}  // namespace lumbra
