// `lumbra-rip --list`: the drive list and the tracks of the chosen drive's disc.
#pragma once

#include <string>
#include <vector>

#include "cdaccess/drive_discovery.h"

namespace lumbra::cli {

// One "DRIVE <index> <description> <letter>" line per drive.
std::string driveLines(const std::vector<DriveEntry>& drives);

// One "TRACK <n> <start> <length> <mm:ss> <title>" line per track of the table of contents.
std::string trackLines(const TocBuffer& toc);

}  // namespace lumbra::cli
