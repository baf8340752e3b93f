// CD audio written as a WAV file, for the independent tools that check what a rip measured.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "rip/wav_header.h"

namespace lumbra::test {

inline void writeCdWaveFile(const std::string& path, const std::vector<uint8_t>& audio) {
    const auto header = wavHeader({}, uint32_t(audio.size()));
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(header.data()), std::streamsize(header.size()));
    file.write(reinterpret_cast<const char*>(audio.data()), std::streamsize(audio.size()));
}

}  // namespace lumbra::test
