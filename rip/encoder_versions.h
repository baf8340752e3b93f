// The versions of the encoder libraries a rip would use, as their own libraries report them, so
// that what the settings pages name is what writes the files.
#pragma once

#include <string>

namespace lumbra {

// The MP3 engine's version ("3.100") from the encoder library the rip job loads; empty when that
// library cannot be loaded.
std::string mp3EncoderVersion();

// The Vorbis library's version ("1.3.7"), or its whole version text when that names no number.
std::string oggEncoderVersion();

// libFLAC's version ("1.4.2").
std::string flacEncoderVersion();

// libopus's version ("1.3.1"), which libopusenc encodes with.
std::string opusEncoderVersion();

}  // namespace lumbra
