// What libcue does not check or tell about a CUE sheet, read from its text: libcue accepts
// times such as 00:99:99, drops the file type of each FILE line, cannot tell an unknown track
// mode from any other syntax error, does not say which file a track's INDEX 00 stands in, and
// keeps only the first 99 tracks of a longer sheet, moving the last one.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>

namespace lumbra::virtualdrive {

inline constexpr int kMaxCueTracks = 99;

struct CueTextFacts {
    std::map<std::string, std::string> fileTypes;  // FILE name -> type keyword in upper case
    // Position (1-based) of the first TRACK after a "REM SESSION" line naming session 2 or
    // later, as rippers mark the data track of an Enhanced CD; 0 for a single session.
    int secondSessionTrack = 0;
    // Tracks (1-based, in sheet order) whose INDEX 00 stands in the FILE before their INDEX 01:
    // the layout that appends each pregap to the previous track's file.
    std::set<int> pregapInFileBefore;
};

// The facts of `text`, or the first problem found, naming its line.
std::variant<CueTextFacts, std::string> scanCueText(std::string_view text);

}  // namespace lumbra::virtualdrive
