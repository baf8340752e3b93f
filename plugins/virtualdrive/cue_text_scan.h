// What libcue does not check or tell about a CUE sheet, read from its text: libcue accepts
// times such as 00:99:99, drops the file type of each FILE line and cannot tell an unknown track
// mode from any other syntax error.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace lumbra::virtualdrive {

struct CueTextFacts {
    std::map<std::string, std::string> fileTypes;  // FILE name -> type keyword in upper case
    // Position (1-based) of the first TRACK after a "REM SESSION" line naming session 2 or
    // later, as rippers mark the data track of an Enhanced CD; 0 for a single session.
    int secondSessionTrack = 0;
};

// The facts of `text`, or the first problem found, naming its line.
std::variant<CueTextFacts, std::string> scanCueText(std::string_view text);

}  // namespace lumbra::virtualdrive
