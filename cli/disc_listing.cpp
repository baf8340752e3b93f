#include "cli/disc_listing.h"

#include <cstdio>

#include "app/track_row_texts.h"
#include "cdaccess/disc_toc.h"
#include "metadata/disc_id.h"
#include "platform/control_characters.h"

namespace lumbra::cli {

std::string driveLines(const std::vector<DriveEntry>& drives) {
    std::string out;
    for (const auto& drive : drives) {
        out += "DRIVE " + std::to_string(drive.listIndex) + " " + drive.description + " " +
               drive.letter + "\n";
    }
    return platform::printableText(out);
}

std::string discLines(const DriveEntry& drive, const std::vector<TrackEntry>& tracks) {
    std::string out = "DISCID " + discIdText(drive.discId) + "\n";
    for (size_t i = 0; i < tracks.size(); ++i) {
        const TrackEntry& track = tracks[i];
        const bool data = i < kMaxTocDescriptors && isDataTrack(drive.toc.descriptors[i]);
        char line[64];
        std::snprintf(line, sizeof line, "TRACK %d %d %d %02d:%02d ", track.number, track.start,
                      track.length, track.seconds / 60, track.seconds % 60);
        out += line + platform::printableText(rowTitle(track, data)) + "\n";
    }
    return out;
}

std::string discRecordLines(const DiscRecord& disc) {
    const bool knownGenre = disc.genre >= 0 && disc.genre < kGenreCount;
    const char* source = disc.titleSource == TitleSource::CdText   ? "cd-text"
                         : disc.titleSource == TitleSource::Lookup ? "cddb"
                                                                   : "none";
    std::string lines = "ARTIST " + disc.artist + "\nALBUM " + disc.album + "\nYEAR " + disc.year +
                        "\nGENRE " +
                        std::string(knownGenre ? kGenreNames[size_t(disc.genre)] : "") +
                        "\nSOURCE " + source + "\n";
    if (!disc.catalogue.empty()) lines += "CATALOG " + disc.catalogue + "\n";
    return platform::printableText(lines);
}

}  // namespace lumbra::cli
