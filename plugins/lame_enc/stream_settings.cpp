#include "plugins/lame_enc/stream_settings.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "plugins/lame_enc/preset_codes.h"

namespace lumbra::lame_plugin {
namespace {

constexpr std::array<int, 3> kMpeg1Rates{32000, 44100, 48000};

MPEG_mode libraryMode(int32_t mode) {
    switch (mode) {
        case kLameModeJointStereo:
            return JOINT_STEREO;
        case kLameModeMono:
            return MONO;
        default:  // stereo, and dual channel, which libmp3lame does not code
            return STEREO;
    }
}

// MPEG-1 frames exist only at 32, 44.1 and 48 kHz, so an MPEG-1 stream must not be resampled
// to the lower rates the encoder picks for small bitrates.
int outputRate(const LameStreamConfig& config) {
    if (config.outputSampleRate || !config.mpeg1) return int(config.outputSampleRate);
    const auto input = int(config.inputSampleRate);
    return *std::min_element(kMpeg1Rates.begin(), kMpeg1Rates.end(), [input](int a, int b) {
        return std::abs(a - input) < std::abs(b - input);
    });
}

void applyFrameHeaderBits(lame_global_flags* lame, const LameStreamConfig& config) {
    lame_set_emphasis(lame, int(config.emphasis));
    lame_set_extension(lame, config.privateBit != 0);
    lame_set_error_protection(lame, config.crc != 0);
    lame_set_copyright(lame, config.copyright != 0);
    lame_set_original(lame, config.original != 0);
    lame_set_strict_ISO(lame, config.strictIso != 0);
}

void applyPreset(lame_global_flags* lame, const PresetEffect& preset) {
    if (preset.libraryPreset) lame_set_preset(lame, preset.libraryPreset);
    if (preset.algorithmQuality >= 0) lame_set_quality(lame, preset.algorithmQuality);
}

// The record's own fields decide the rate control, whatever a preset set before: VBR when
// asked for, else ABR for the average-rate presets, else a constant rate. An alias's own rate
// counts only when the record names none.
void applyRateControl(lame_global_flags* lame, const LameStreamConfig& config,
                      const PresetEffect& preset) {
    if (config.vbr) {
        lame_set_VBR(lame, vbr_default);
        lame_set_VBR_q(lame, std::clamp(int(config.vbrQuality), 0, 9));
        if (config.bitrate) lame_set_VBR_min_bitrate_kbps(lame, int(config.bitrate));
        if (config.maxBitrate) lame_set_VBR_max_bitrate_kbps(lame, int(config.maxBitrate));
    } else if (preset.averageRate) {
        const uint32_t mean = config.averageBitrate ? config.averageBitrate
                              : config.bitrate      ? config.bitrate
                                                    : uint32_t(preset.averageKbps);
        lame_set_VBR(lame, vbr_abr);
        if (mean) lame_set_VBR_mean_bitrate_kbps(lame, int(mean));
    } else {
        lame_set_VBR(lame, vbr_off);
        if (config.bitrate) lame_set_brate(lame, int(config.bitrate));
    }
}

}  // namespace

LameResult checkRecord(const LameStreamConfig& config) {
    const bool known = config.layout == kLameConfigLayout && config.version == kLameConfigVersion &&
                       config.size == kLameConfigSize;
    const bool usable = config.inputSampleRate > 0 && config.mode >= kLameModeStereo &&
                        config.mode <= kLameModeMono;
    return known && usable ? kLameOk : kLameBadConfig;
}

int inputChannels(const LameStreamConfig& config) {
    return config.mode == kLameModeMono ? 1 : 2;
}

bool configureEncoder(lame_global_flags* lame, const LameStreamConfig& config) {
    const PresetEffect preset = presetEffect(config.preset);
    lame_set_num_channels(lame, inputChannels(config));
    lame_set_in_samplerate(lame, int(config.inputSampleRate));
    lame_set_out_samplerate(lame, outputRate(config));
    // Presets go first: they set modes and rates of their own that the record then overrides.
    applyPreset(lame, preset);
    lame_set_mode(lame, preset.mono ? MONO : libraryMode(config.mode));
    applyFrameHeaderBits(lame, config);
    lame_set_disable_reservoir(lame, config.noReservoir != 0);
    applyRateControl(lame, config, preset);
    // A header frame is reserved wherever the bitrate varies, so players know the length and
    // the encoder's delay and padding.
    lame_set_bWriteVbrTag(lame, config.writeVbrHeader || config.vbr || preset.averageRate);
    return lame_init_params(lame) >= 0;
}

}  // namespace lumbra::lame_plugin
