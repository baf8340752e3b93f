// What a track's WMA settings ask the writer library for: bitrate, rate and channels, and the
// PCM format the samples are converted to so that they match what the library is told.
#pragma once

#include <cstdint>
#include <string>

#include "rip/sample_conversion.h"
#include "rip/wma_writer_interface.h"
#include "settings/encoder_settings.h"

namespace lumbra {

struct WmaParameters {
    int bitsPerSecond = 0;
    int sampleRate = 0;
    int channels = 0;
    int32_t useDrm = 0;

    PcmFormat pcmFormat() const { return {sampleRate, channels, 16}; }
};

// A bitrate index outside the list gives 128 kbit/s, 44,100 Hz, stereo; a sample-rate index
// outside the bitrate's rate table gives the first rate of its list.
WmaParameters wmaParametersFor(const WmaSettings& settings);

// "96 kbps, 44100 Hz, 立体声": the settings named in a set-up failure.
std::string describeWmaParameters(const WmaParameters& parameters);

// The wave-format record of 16-bit PCM at that rate and channel count.
WmaWaveFormat wmaInputFormat(int sampleRate, int channels);

}  // namespace lumbra
