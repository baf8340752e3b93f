// One track of the disc in the process-wide track list.
#pragma once

#include <cstdint>
#include <string>

#include "settings/encoder_settings.h"

namespace lumbra {

struct TrackEntry {
    int32_t number = 0;    // list position + 1 after a refresh; the row once shown
    std::string title;     // "音轨 01" until titles are looked up
    int32_t checked = 0;   // ticked for ripping
    int32_t selected = 0;  // selected row
    int32_t start = 0;     // first frame (logical block address)
    int32_t length = 0;    // frames
    int32_t seconds = 0;   // length / 75
    int32_t status = 0;    // TrackStatus: percent while working, then done, cancelled or failed
    int32_t format = 0;    // OutputFormat
    EncoderSlots encoderSettings{};
};

// Gives the track the defaults of its own format.
void applyEncoderDefaults(TrackEntry& track, const EncoderSettings& encoder);

}  // namespace lumbra
