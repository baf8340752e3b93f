// Turns one entry of the disc list into what a drive holds: "demo", the path of a CUE sheet,
// "file:" and a percent-encoded path (any sheet, even one named "demo" or with ";" or blanks in
// its path), or "" for an empty drive.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

struct LoadedDisc {
    std::string name;                  // "demo" or the sheet's file name, as drives show it
    std::shared_ptr<const Disc> disc;  // null: no usable disc
    std::string problem;               // why a named sheet gave no disc, else empty
    uint64_t identity = 0;             // the same for entries naming the same disc, never 0
};

// The name an entry gives its drive, without loading anything.
std::string discNameOf(std::string_view entry);

// What an entry names, without loading anything: equal for "demo" everywhere and for the same
// sheet however its path is written, different otherwise.
uint64_t discIdentityOf(std::string_view entry);

LoadedDisc loadDisc(std::string_view entry);

}  // namespace lumbra::virtualdrive
