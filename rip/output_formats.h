// The output formats a track can be written in: the one place that names them. A new format is
// an encoder (track_encoder.h) and one row here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "rip/track_encoder.h"

namespace lumbra {

struct OutputFormatEntry {
    int32_t id;             // the track's format code
    const char* name;       // as the user knows it
    const char* extension;  // with its dot
    // Encoding costs enough to hold the drive up, so the anti-crackle setting reads the track
    // into the temporary file first and encodes it from there.
    bool encodesBehindDrive;
    std::function<std::unique_ptr<EncoderFactory>()> factory;
};

// WAV, Ogg Vorbis, MP3, WMA, FLAC and Opus, in the order of their codes.
std::span<const OutputFormatEntry> outputFormats();

// The row of `id`; null when the table has none (such a track is passed over).
const OutputFormatEntry* findOutputFormat(std::span<const OutputFormatEntry> formats, int32_t id);

}  // namespace lumbra
