// Whether a table of contents can describe a real disc. Drives with garbage in their answer must
// not make the program build a track list (or read descriptors) from it.
#pragma once

#include "cdaccess/disc_toc.h"

namespace lumbra {

// True when the first and last track numbers are 1..99 with last >= first, the data length
// covers every track and the lead-out, the descriptor after the last track is the lead-out,
// and no track starts after the next one. `msf` tells the form of the addresses.
bool isPlausibleToc(const TocBuffer& toc, bool msf = false);

}  // namespace lumbra
