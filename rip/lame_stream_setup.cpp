#include "rip/lame_stream_setup.h"

#include "settings/value_lists.h"

namespace lumbra {
namespace {

constexpr int kFallbackSampleRate = 44100;
constexpr int32_t kMonoIndex = 0;
constexpr int32_t kStereoIndex = 1;
constexpr int32_t kJointStereoIndex = 2;

int32_t modeFor(int32_t channelIndex) {
    switch (channelIndex) {
        case kMonoIndex:
            return kLameModeMono;
        case kJointStereoIndex:
            return kLameModeJointStereo;
        default:
            return kLameModeStereo;
    }
}

int32_t presetCodeFor(int32_t qualityIndex) {
    return qualityIndex <= kLameLastNamedPreset ? qualityIndex
                                                : (qualityIndex - kLameLastNamedPreset) * 1000;
}

std::string_view modeText(int32_t mode) {
    const int32_t index = mode == kLameModeMono          ? kMonoIndex
                          : mode == kLameModeJointStereo ? kJointStereoIndex
                                                         : kStereoIndex;
    return kMp3ChannelModes[size_t(index)].text;
}

std::string presetText(int32_t preset) {
    if (preset >= 0 && size_t(preset) < kMp3QualityPresets.size()) {
        return std::string(kMp3QualityPresets[size_t(preset)].text);
    }
    return std::to_string(preset);
}

}  // namespace

LameStreamConfig lameStreamConfigFor(const Mp3Settings& settings) {
    LameStreamConfig config;
    const int rate = listValue(kMp3SampleRates, settings.sampleRate, 0);
    config.inputSampleRate = uint32_t(rate ? rate : kFallbackSampleRate);
    config.mode = modeFor(settings.channelMode);
    config.bitrate = uint32_t(listValue(kMp3Bitrates, settings.bitrate, 0));
    config.maxBitrate = uint32_t(listValue(kMp3Bitrates, settings.vbrMax, 0));
    config.preset = presetCodeFor(settings.preset);
    config.mpeg1 = 1;
    config.original = 1;
    config.vbr = uint32_t(settings.vbr);
    config.vbrQuality = settings.vbrQuality;
    config.noReservoir = 1;
    return config;
}

PcmFormat declaredInputFormat(const LameStreamConfig& config) {
    return {int(config.inputSampleRate), config.mode == kLameModeMono ? 1 : 2, 16};
}

std::string describeStreamSettings(const LameStreamConfig& config) {
    std::string text =
        std::to_string(config.inputSampleRate) + " Hz, " + std::string(modeText(config.mode));
    if (config.vbr) {
        text += ", VBR Q" + std::to_string(config.vbrQuality) + " " +
                std::to_string(config.bitrate) + "-" + std::to_string(config.maxBitrate) + " kbps";
    } else {
        text += ", " + std::to_string(config.bitrate) + " kbps";
    }
    return text + ", 预设 " + presetText(config.preset);
}

}  // namespace lumbra
