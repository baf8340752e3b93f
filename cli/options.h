// The command line of lumbra-rip.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumbra::cli {

enum class Action { Rip, List, Settings };
enum class OverwriteAnswer { Ask, Yes, No };

struct Options {
    Action action = Action::Rip;
    std::string home;
    bool demo = false;
    std::vector<std::string> images;
    int drive = 0;
    std::vector<int> tracks;  // 1-based; empty: every audio track
    std::optional<int> format;  // OutputFormat; unset: the settings' default
    std::optional<std::string> outputFolder;
    std::optional<std::string> namingTemplate;
    OverwriteAnswer overwrite = OverwriteAnswer::Ask;
    std::optional<bool> lookup;  // unset: setup.ini's automatic lookup
};

// nullopt for a command line that does not parse (the caller prints the usage).
std::optional<Options> parseOptions(int argc, char** argv);

// "1,3-5" as {1, 3, 4, 5}; nullopt when malformed.
std::optional<std::vector<int>> parseTrackList(const std::string& text);

extern const char* const kUsage;

}  // namespace lumbra::cli
