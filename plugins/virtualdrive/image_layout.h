// Where the tracks of a CUE sheet's files land on the disc. Files follow one another; a track's
// INDEX 00 and INDEX 01 times count frames of its own file, in that file's sector sizes.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "plugins/virtualdrive/disc.h"
#include "plugins/virtualdrive/image_audio.h"

namespace lumbra::virtualdrive {

struct CueTrack {
    int number = 0;  // 1-based position in the sheet
    bool audio = true;
    uint32_t sectorBytes = 0;   // bytes per frame in the file
    int64_t index0 = -1;        // frame in the file, -1 when absent
    int64_t index1 = -1;        // frame in the file, -1 when absent
    int64_t silenceBefore = 0;  // PREGAP frames, not in the file
    int64_t silenceAfter = 0;   // POSTGAP frames, not in the file
    // The first track of a second session, after the gap between sessions.
    bool startsSession = false;
    // INDEX 00 counts frames of the previous file, whose tail is this track's pregap.
    bool pregapInFileBefore = false;
};

struct CueFile {
    std::string name;        // as the sheet writes it, for messages
    int64_t dataOffset = 0;  // where the sectors begin in the file
    int64_t dataLength = 0;  // bytes of sectors
    std::vector<CueTrack> tracks;
};

struct ImageLayout {
    std::vector<DiscTrack> tracks;
    uint32_t leadOut = 0;
    std::vector<FrameRange> unreadable;
    std::vector<AudioExtent> extents;  // `file` indexes the CueFile list
};

// The disc that `files` make, or why they make none (tracks out of order, a file too short).
std::variant<ImageLayout, std::string> layOutImage(const std::vector<CueFile>& files);

}  // namespace lumbra::virtualdrive
