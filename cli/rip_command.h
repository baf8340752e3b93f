// `lumbra-rip --list`, `--find-offset` and `lumbra-rip` without them: the chosen drive's disc
// listed, its drive's read offset found, or the disc ripped.
#pragma once

#include <string>

#include "cli/options.h"

namespace lumbra::cli {

// Prints the drives and the chosen drive's tracks (and, after a lookup, the disc's titles).
// 0 when the table of contents was read, 1 when not, 2 for a drive that does not exist.
int listDisc(const Options& options, const std::string& home);

// Finds the chosen drive's read offset from its disc and the AccurateRip database, prints each
// candidate and offers to store the best one (--yes stores it, --no does not, else the terminal is
// asked). 0 when an offset was found, 1 when not, 2 for a drive that does not exist.
int findOffset(const Options& options, const std::string& home);

// 0 when every ripped track ended Done, 1 otherwise, 2 for a track or drive that does not exist.
int ripDisc(const Options& options, const std::string& home);

}  // namespace lumbra::cli
