#include "rip/wma_parameters.h"

#include <cstdio>

#include "settings/value_lists.h"

namespace lumbra {
namespace {

constexpr int kFallbackKbps = 128;
constexpr int kFallbackRate = 44100;

int channelsForKbps(int kbps) {
    return kbps == 6 || kbps == 20 ? 1 : 2;
}

}  // namespace

WmaParameters wmaParametersFor(const WmaSettings& settings) {
    const int kbps = listValue(kWmaBitrates, settings.bitrate, 0);
    if (kbps == 0) return {kFallbackKbps * 1000, kFallbackRate, 2, settings.drm};
    const auto rates = wmaRatesForBitrate(kbps).rates;
    const bool indexInTable =
        settings.sampleRate >= 0 && size_t(settings.sampleRate) < rates.size();
    // A stored index the list cannot show (no selection, or a list that changed with the
    // bitrate) takes the list's first rate, as choosing the bitrate on the page does: 44100 Hz
    // is not offered at every bitrate.
    const int rate = rates[indexInTable ? size_t(settings.sampleRate) : 0];
    return {kbps * 1000, rate, channelsForKbps(kbps), settings.drm};
}

std::string describeWmaParameters(const WmaParameters& parameters) {
    char text[96];
    const char* channels = parameters.channels == 1 ? "单声道" : "立体声";
    std::snprintf(text, sizeof text, "%d kbps, %d Hz, %s", parameters.bitsPerSecond / 1000,
                  parameters.sampleRate, channels);
    return text;
}

WmaWaveFormat wmaInputFormat(int sampleRate, int channels) {
    const auto blockAlign = uint16_t(channels * 2);
    return {kWaveFormatPcm,
            uint16_t(channels),
            uint32_t(sampleRate),
            uint32_t(sampleRate) * blockAlign,
            blockAlign,
            16,
            0};
}

}  // namespace lumbra
