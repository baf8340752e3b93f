// The built-in demo disc: four audio tracks of synthesised music and a data track, computed on
// demand so that any frame can be read without holding the disc in memory.
#pragma once

#include <memory>

#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

std::unique_ptr<Disc> makeDemoDisc();

}  // namespace lumbra::virtualdrive
