// Finds the samples of a RIFF WAVE file that a CUE sheet names: only 16-bit stereo 44,100 Hz
// PCM can stand for CD audio without conversion.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace lumbra::virtualdrive {

struct WaveData {
    int64_t offset = 0;  // of the first sample byte
    // Bytes of samples the header declares, which a file cut short does not all hold; those
    // actually present when the header leaves the length open (0 or 0xFFFFFFFF, as streaming
    // writers leave it).
    int64_t length = 0;
};

// The "data" chunk of the open file `fd` of `fileSize` bytes, or why the file cannot be used.
std::variant<WaveData, std::string> findWaveData(int fd, int64_t fileSize);

}  // namespace lumbra::virtualdrive
