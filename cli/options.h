// The command line of lumbra-rip.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumbra::cli {

struct Options {
    std::string home;
    bool demo = false;
    std::vector<std::string> images;
    int drive = 0;
    bool list = false;
    bool settings = false;
};

// nullopt for a command line that does not parse (the caller prints the usage).
std::optional<Options> parseOptions(int argc, char** argv);

extern const char* const kUsage;

}  // namespace lumbra::cli
