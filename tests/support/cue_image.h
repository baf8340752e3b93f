// A disc image written by a test: a BIN file of music-like audio (tones with a noise floor, so no
// frame repeats another) and a CUE sheet over it.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace lumbra::test {

struct CueImage {
    std::string cuePath;
    std::vector<std::vector<uint8_t>> trackAudio;  // each track's bytes, as the disc holds them

    std::string trackBytes(size_t t) const { return {trackAudio[t].begin(), trackAudio[t].end()}; }
};

inline std::vector<uint8_t> musicLikeAudio(int frames, uint32_t seed) {
    std::vector<uint8_t> bytes(size_t(frames) * 2352);
    uint32_t noise = seed * 2654435761u + 1;
    const double pitch = 110.0 * (1 + seed % 7);
    for (size_t i = 0; i < bytes.size() / 4; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const double t = double(i) / 44100.0;
        const double tone =
            9000 * std::sin(2 * M_PI * pitch * t) * (0.6 + 0.4 * std::sin(2 * M_PI * 0.7 * t));
        const auto left = int16_t(tone + int(noise >> 20) - 2048);
        const auto right = int16_t(0.7 * tone + int((noise >> 8) & 0xFFF) - 2048);
        bytes[4 * i] = uint8_t(left);
        bytes[4 * i + 1] = uint8_t(uint16_t(left) >> 8);
        bytes[4 * i + 2] = uint8_t(right);
        bytes[4 * i + 3] = uint8_t(uint16_t(right) >> 8);
    }
    return bytes;
}

inline std::string musicLikeBytes(int frames, uint32_t seed) {
    const auto audio = musicLikeAudio(frames, seed);
    return {audio.begin(), audio.end()};
}

// Tracks of the given lengths in frames, back to back in one BIN file.
inline CueImage writeCueImage(const std::string& folder, const std::string& name,
                              const std::vector<int>& trackFrames) {
    CueImage image;
    image.cuePath = folder + "/" + name + ".cue";
    std::ofstream bin(folder + "/" + name + ".bin", std::ios::binary);
    std::ofstream cue(image.cuePath);
    cue << "FILE \"" << name << ".bin\" BINARY\n";
    int start = 0;
    for (size_t t = 0; t < trackFrames.size(); ++t) {
        image.trackAudio.push_back(musicLikeAudio(trackFrames[t], uint32_t(t + 1)));
        bin.write(reinterpret_cast<const char*>(image.trackAudio.back().data()),
                  std::streamsize(image.trackAudio.back().size()));
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n    INDEX 01 %02d:%02d:%02d\n",
                      t + 1, start / 4500, start / 75 % 60, start % 75);
        cue << line;
        start += trackFrames[t];
    }
    return image;
}

}  // namespace lumbra::test
