// Turns one entry of the disc list into what a drive holds: "demo", the path of a CUE sheet,
// or "" for an empty drive.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

struct LoadedDisc {
    std::string name;                  // "demo" or the sheet's file name, as drives show it
    std::shared_ptr<const Disc> disc;  // null: no usable disc
    std::string problem;               // why a named sheet gave no disc, else empty
};

// The name an entry gives its drive, without loading anything.
std::string discNameOf(std::string_view entry);

LoadedDisc loadDisc(std::string_view entry);

}  // namespace lumbra::virtualdrive
