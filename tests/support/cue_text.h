// CD-Text and code lines added to a CUE sheet that writeCueImage wrote: the disc's lines before
// its FILE line, each track's after its TRACK line.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace lumbra::test {

inline void addCueText(const std::string& cuePath, const std::vector<std::string>& discLines,
                       const std::vector<std::vector<std::string>>& trackLines) {
    std::stringstream sheet;
    sheet << std::ifstream(cuePath).rdbuf();
    std::string out;
    for (const std::string& line : discLines) out += line + "\n";
    size_t track = 0;
    for (std::string line; std::getline(sheet, line);) {
        out += line + "\n";
        if (line.find("TRACK") == std::string::npos) continue;
        if (track < trackLines.size()) {
            for (const std::string& extra : trackLines[track]) out += "    " + extra + "\n";
        }
        ++track;
    }
    std::ofstream(cuePath, std::ios::trunc) << out;
}

}  // namespace lumbra::test
