#include "plugins/lame_enc/preset_codes.h"

#include <lame/lame.h>
#include <array>

#include "rip/lame_stream_config.h"

namespace lumbra::lame_plugin {
namespace {

// The aliases libmp3lame documents for its ABR presets, in the order it lists them: phone,
// sw, mw-us, voice, fm, radio, tape, hifi, cd, studio. The first four are mono.
constexpr std::array<int, 10> kAliasKbps{16, 24, 40, 56, 112, 112, 112, 160, 192, 256};
constexpr size_t kMonoAliases = 4;
constexpr size_t kVoiceAlias = 3;
constexpr int kAliasStep = 1000;

PresetEffect alias(size_t index) {
    PresetEffect effect;
    effect.libraryPreset = kAliasKbps[index];
    effect.averageKbps = kAliasKbps[index];
    effect.averageRate = true;
    effect.mono = index < kMonoAliases;
    return effect;
}

PresetEffect library(int preset) {
    PresetEffect effect;
    effect.libraryPreset = preset;
    return effect;
}

PresetEffect quality(int q) {
    PresetEffect effect;
    effect.algorithmQuality = q;
    return effect;
}

}  // namespace

PresetEffect presetEffect(int32_t code) {
    if (code > kLameLastNamedPreset) {
        if (code % kAliasStep != 0) return {};
        const int32_t index = code / kAliasStep - 1;
        return index >= 0 && size_t(index) < kAliasKbps.size() ? alias(size_t(index))
                                                               : PresetEffect{};
    }
    switch (code) {
        case 1:  // low
            return quality(9);
        case 2:  // high
            return quality(2);
        case 3:
            return alias(kVoiceAlias);
        case 4:
            return library(R3MIX);
        case 5:  // very high
            return quality(0);
        case 6:
            return library(STANDARD);
        case 7:
            return library(STANDARD_FAST);
        case 8:
            return library(EXTREME);
        case 9:
            return library(EXTREME_FAST);
        case 10:
            return library(INSANE);
        case kLamePresetAbr: {
            PresetEffect effect;
            effect.averageRate = true;
            return effect;
        }
        case kLamePresetCbr:  // the record's constant rate is all it asks
        default:              // normal, and codes this library does not know
            return {};
    }
}

}  // namespace lumbra::lame_plugin
