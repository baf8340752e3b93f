// `lumbra-rip` without --list: rips the chosen tracks of the chosen drive.
#pragma once

#include "cli/options.h"

namespace lumbra::cli {

// 0 when every ripped track ended Done, 1 otherwise, 2 for a track or drive that does not exist.
int ripDisc(const Options& options);

}  // namespace lumbra::cli
