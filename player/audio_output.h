// Where the CD-audio device sends its sound: an audio output that pulls samples when it needs
// them. The program's output is the desktop's sound device; tests record what they pull.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "cdaccess/cd_frame.h"

namespace lumbra {

class SampleSource {
public:
    virtual ~SampleSource() = default;
    // Copies up to `out.size()` bytes of the samples ready now; 0 when none are. Safe to call
    // from the output's own thread.
    virtual size_t readSamples(std::span<uint8_t> out) = 0;
};

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Starts pulling from `source`, or resumes after suspend: false when the device refuses.
    // The source outlives the output.
    virtual bool start(SampleSource& source) = 0;
    // Stops pulling and keeps the device; start resumes.
    virtual void suspend() = 0;
    // Stops pulling and drops what the device still holds.
    virtual void stop() = 0;
};

// Makes the output for one opening of the device; null when the system has no audio output.
using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

}  // namespace lumbra
