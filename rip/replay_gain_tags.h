// ReplayGain values written into a finished file's tags in place: once per track when it is
// done, and the album's into every track once the last one is.
#pragma once

#include <optional>
#include <string>

#include "rip/loudness.h"

namespace lumbra {

struct ReplayGainTags {
    std::optional<GainAndPeak> track;
    std::optional<GainAndPeak> album;
};

// Adds the values to the file's tags, replacing earlier ones, in the form its format's players
// read: REPLAYGAIN_* comments (Ogg Vorbis, FLAC), TXXX frames of ID3v2.3 (MP3, its ID3v1 tag
// untouched), R128_* gains in Q7.8 relative to -23 LUFS (Opus), replaygain_* attributes (WMA).
// The format is told by the file's extension; a WAV file has no tags and is left alone. False
// when the file could not be read or saved.
bool writeReplayGainTags(const std::string& path, const ReplayGainTags& values);

// "-6.52 dB" and "0.988553", as ReplayGain readers expect them.
std::string gainText(double gain);
std::string peakText(double peak);
// The Opus header gain form: 1/256 dB steps, limited to 16 bits.
int r128Gain(double replayGain);

}  // namespace lumbra
