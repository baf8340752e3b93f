// Setting up the virtual drive library for --demo and --image.
#pragma once

#include "cli/options.h"

namespace lumbra::cli {

// Points the CD access layer at the virtual drive library (beside the executable) holding the
// requested discs. False, with a message on stderr, when the library is not there.
bool useVirtualDrives(const Options& options);

}  // namespace lumbra::cli
