// What a preset code of the stream record asks of the encoder, besides its rate control.
#pragma once

#include <cstdint>

namespace lumbra::lame_plugin {

struct PresetEffect {
    int libraryPreset = 0;      // a preset of libmp3lame's lame_set_preset, 0 for none
    int algorithmQuality = -1;  // libmp3lame's quality, 0 (best, slowest) to 9; -1 leaves it
    bool mono = false;
    bool averageRate = false;  // ABR unless the record asks for VBR
    int averageKbps = 0;       // the rate an ABR alias stands for
};

// The effect of `code`: 0 to 12 are the named presets, 1000 to 10000 the bitrate aliases.
// Unknown codes have no effect.
PresetEffect presetEffect(int32_t code);

}  // namespace lumbra::lame_plugin
