#include "cli/disc_listing.h"

#include <algorithm>
#include <cstdio>

namespace lumbra::cli {

std::string driveLines(const std::vector<DriveEntry>& drives) {
    std::string out;
    for (const auto& drive : drives) {
        out += "DRIVE " + std::to_string(drive.listIndex) + " " + drive.description + " " +
               drive.letter + "\n";
    }
    return out;
}

std::string trackLines(const TocBuffer& toc) {
    std::string out;
    const int tracks = std::clamp(toc.lastTrack - toc.firstTrack + 1, 0, kMaxTocDescriptors - 1);
    for (int i = 0; i < tracks; ++i) {
        const int32_t start = descriptorLba(toc.descriptors[i], false);
        const int32_t length = descriptorLba(toc.descriptors[i + 1], false) - start;
        const int seconds = length / 75;
        char line[96];
        std::snprintf(line, sizeof line, "TRACK %d %d %d %02d:%02d 音轨 %02d\n", i + 1, start, length,
                      seconds / 60, seconds % 60, i + 1);
        out += line;
    }
    return out;
}

}  // namespace lumbra::cli
