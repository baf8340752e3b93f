// `lumbra-rip --list`: the drive list and the tracks of the chosen drive's disc.
#pragma once

#include <string>
#include <vector>

#include "cdaccess/drive_discovery.h"
#include "metadata/disc_record.h"
#include "metadata/track_entry.h"

namespace lumbra::cli {

// One "DRIVE <index> <description> <letter>" line per drive.
std::string driveLines(const std::vector<DriveEntry>& drives);

// "DISCID <8 hex digits>", then one "TRACK <n> <start> <length> <mm:ss> <title>" line per track.
std::string discLines(const DriveEntry& drive, const std::vector<TrackEntry>& tracks);

// After a lookup, or when the disc's CD-Text named it: "ARTIST <artist>", "ALBUM <album>",
// "YEAR <year>", "GENRE <genre name>", "SOURCE <cd-text, cddb or none>" and, when the disc has
// one, "CATALOG <number>".
std::string discRecordLines(const DiscRecord& disc);

}  // namespace lumbra::cli
