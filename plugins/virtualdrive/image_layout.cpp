#include "plugins/virtualdrive/image_layout.h"

#include <algorithm>
#include <optional>

#include "plugins/virtualdrive/mmc_opcodes.h"

namespace lumbra::virtualdrive {
namespace {

std::string trackText(const CueTrack& track) {
    return "track " + std::to_string(track.number);
}

// INDEX 00 as a frame of the track's own file, -1 when the sheet gives none there.
int64_t ownIndex0(const CueTrack& track) {
    return track.pregapInFileBefore ? -1 : track.index0;
}

// The first frame of a track's stretch of its file: its pregap when the sheet marks one. The
// first track of a file also owns whatever comes before its first index.
int64_t regionStart(const CueFile& file, size_t k) {
    const CueTrack& track = file.tracks[k];
    if (k == 0) return 0;
    return ownIndex0(track) >= 0 ? ownIndex0(track) : track.index1;
}

int64_t frameCount(const CueFile& file) {
    const uint32_t sectorBytes = file.tracks.back().sectorBytes;
    return sectorBytes ? (file.dataLength + sectorBytes - 1) / sectorBytes : 0;
}

// A pregap at the end of the file before lies after that file's last INDEX 01 and inside it.
// Where it starts changes nothing on the disc: that file's frames all come before this track.
std::optional<std::string> checkPregapInFileBefore(const std::vector<CueFile>& files, size_t i) {
    const CueTrack& track = files[i].tracks.front();
    if (!track.pregapInFileBefore) return std::nullopt;
    if (i == 0) return trackText(track) + " has INDEX 00 in a file that holds no track";
    const CueFile& before = files[i - 1];
    if (track.index0 <= before.tracks.back().index1) {
        return trackText(track) + " has INDEX 00 before the track before it";
    }
    if (track.index0 >= frameCount(before)) {
        return "file " + before.name + " is too short for the INDEX 00 of " + trackText(track);
    }
    return std::nullopt;
}

std::optional<std::string> checkOrder(const CueFile& file) {
    for (size_t k = 0; k < file.tracks.size(); ++k) {
        const CueTrack& track = file.tracks[k];
        if (track.sectorBytes == 0) return trackText(track) + " has an unsupported mode";
        if (track.index1 < 0) return trackText(track) + " has no INDEX 01";
        if (k > 0 && track.pregapInFileBefore) {
            return trackText(track) +
                   " has INDEX 00 in a file before the one of the track before it";
        }
        const int64_t longest = std::max({track.index1, track.silenceBefore, track.silenceAfter});
        if (longest > int64_t(kMaxDiscFrames)) return trackText(track) + " lies beyond a CD";
        if (ownIndex0(track) > track.index1)
            return trackText(track) + " has INDEX 00 after INDEX 01";
        if (k > 0 && regionStart(file, k) <= file.tracks[k - 1].index1) {
            return trackText(track) + " starts before the track before it";
        }
    }
    return std::nullopt;
}

class Builder {
public:
    std::optional<std::string> addFile(const CueFile& file, size_t fileIndex) {
        if (auto problem = checkOrder(file)) return problem;
        int64_t byte = 0;
        for (size_t k = 0; k < file.tracks.size(); ++k) {
            const CueTrack& track = file.tracks[k];
            const int64_t start = regionStart(file, k);
            const int64_t indexByte = byte + (track.index1 - start) * track.sectorBytes;
            if (indexByte >= file.dataLength) {
                return "file " + file.name + " is too short for " + trackText(track);
            }
            const int64_t frames =
                k + 1 < file.tracks.size()
                    ? regionStart(file, k + 1) - start
                    : (file.dataLength - byte + track.sectorBytes - 1) / track.sectorBytes;
            if (track.startsSession) {
                layout_.unreadable.push_back({uint32_t(cursor_), uint32_t(kSessionGapFrames)});
                cursor_ += kSessionGapFrames;
            }
            cursor_ += track.silenceBefore;
            layout_.tracks.push_back({uint32_t(cursor_ + track.index1 - start), !track.audio});
            if (track.audio) addExtent(file, fileIndex, byte, frames);
            cursor_ += frames + track.silenceAfter;
            if (cursor_ > kMaxDiscFrames) return std::string("it is longer than a CD can be");
            byte += frames * track.sectorBytes;
        }
        return std::nullopt;
    }

    ImageLayout finish() {
        layout_.leadOut = uint32_t(cursor_);
        return std::move(layout_);
    }

private:
    void addExtent(const CueFile& file, size_t fileIndex, int64_t byte, int64_t frames) {
        const int64_t length = std::min(frames * int64_t(kFrameBytes), file.dataLength - byte);
        layout_.extents.push_back(
            {cursor_ * int64_t(kFrameBytes), length, fileIndex, file.dataOffset + byte});
    }

    ImageLayout layout_;
    int64_t cursor_ = 0;
};

}  // namespace

std::variant<ImageLayout, std::string> layOutImage(const std::vector<CueFile>& files) {
    Builder builder;
    size_t trackCount = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        trackCount += files[i].tracks.size();
        if (trackCount > size_t(kMaxTracks)) return std::string("it has more than 99 tracks");
        if (auto problem = checkPregapInFileBefore(files, i)) return *problem;
        if (auto problem = builder.addFile(files[i], i)) return *problem;
    }
    if (trackCount == 0) return std::string("it has no track");
    return builder.finish();
}

}  // namespace lumbra::virtualdrive
