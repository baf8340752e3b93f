// Disc images built from stretches of noise and digital silence, for tests of exact reads: noise
// never repeats, so a misplaced frame cannot go unnoticed, and silence has nothing to align to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace lumbra::test {

struct Stretch {
    int frames = 0;
    bool silent = false;
};

struct ImageTrack {
    std::vector<Stretch> stretches;
    bool data = false;
    bool secondSession = false;  // starts a second session, as on an Enhanced CD
};

struct SegmentImage {
    std::string cuePath;
    std::vector<std::vector<uint8_t>> trackBytes;  // as the image holds each track
};

inline void appendStretch(std::vector<uint8_t>& bytes, const Stretch& stretch, uint64_t& noise) {
    const size_t from = bytes.size();
    bytes.resize(from + size_t(stretch.frames) * 2352, 0);
    if (stretch.silent) return;
    for (size_t i = from; i < bytes.size(); ++i) {
        noise = noise * 6364136223846793005ull + 1442695040888963407ull;
        bytes[i] = uint8_t(noise >> 56);
    }
}

// Writes `name`.bin and `name`.cue into `folder`: the tracks back to back in one BINARY file.
inline SegmentImage writeSegmentImage(const std::string& folder, const std::string& name,
                                      const std::vector<ImageTrack>& tracks, uint64_t seed = 1) {
    SegmentImage image;
    image.cuePath = folder + "/" + name + ".cue";
    std::ofstream bin(folder + "/" + name + ".bin", std::ios::binary);
    std::ofstream cue(image.cuePath);
    cue << "FILE \"" << name << ".bin\" BINARY\n";
    uint64_t noise = seed;
    int start = 0;
    for (size_t t = 0; t < tracks.size(); ++t) {
        std::vector<uint8_t> bytes;
        for (const Stretch& stretch : tracks[t].stretches) appendStretch(bytes, stretch, noise);
        bin.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (tracks[t].secondSession) cue << "REM SESSION 02\n";
        char line[128];
        std::snprintf(line, sizeof line, "  TRACK %02zu %s\n    INDEX 01 %02d:%02d:%02d\n", t + 1,
                      tracks[t].data ? "MODE1/2352" : "AUDIO", start / 4500, start / 75 % 60,
                      start % 75);
        cue << line;
        start += int(bytes.size() / 2352);
        image.trackBytes.push_back(std::move(bytes));
    }
    return image;
}

}  // namespace lumbra::test
