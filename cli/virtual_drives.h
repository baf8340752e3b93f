// Setting up the virtual drive library for --demo and --image.
#pragma once

#include "cdaccess/cd_access.h"
#include "cli/options.h"

namespace lumbra::cli {

// Chooses the virtual drive library (beside the executable) holding the requested discs as the
// CD access layer's transport. False, with a message on stderr, when the library is not there.
bool useVirtualDrives(const Options& options, CdAccessOptions& cdAccess);

}  // namespace lumbra::cli
