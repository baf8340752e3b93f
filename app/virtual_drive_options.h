// How a front end's --demo and --image options become the CD access layer's start-up options.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "cdaccess/cd_access.h"

namespace lumbra {

// The virtual drive library's disc list for the demo disc (first, when asked for) and these CUE
// sheets, one drive each. Every path arrives exactly as given, whatever it holds.
std::string virtualDiscList(bool demo, const std::vector<std::string>& sheets);

// The options that start CD access: the system's drives when neither the demo disc nor a sheet
// is asked for, else the virtual drive library beside the program holding them. The message,
// for the program to print after its name, when that library is missing.
std::variant<CdAccessOptions, std::string> virtualDriveOptions(
    bool demo, const std::vector<std::string>& sheets);

}  // namespace lumbra
