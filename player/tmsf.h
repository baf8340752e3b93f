// Positions on an audio CD as the CD-audio device speaks them: a track and a time inside it
// (TMSF), or a length in minutes, seconds and frames (MSF). 75 frames make a second.
#pragma once

#include <cstdint>

#include "cdaccess/cd_frame.h"

namespace lumbra {

struct Msf {
    int minutes = 0;
    int seconds = 0;
    int frames = 0;

    int32_t totalFrames() const { return (minutes * 60 + seconds) * kFramesPerSecond + frames; }
    int totalSeconds() const { return minutes * 60 + seconds; }
    friend bool operator==(const Msf&, const Msf&) = default;
};

struct Tmsf {
    int track = 1;  // from 1
    Msf time;
    friend bool operator==(const Tmsf&, const Tmsf&) = default;
};

inline Msf msfFromFrames(int32_t frames) {
    return {frames / (60 * kFramesPerSecond), frames / kFramesPerSecond % 60,
            frames % kFramesPerSecond};
}

}  // namespace lumbra
