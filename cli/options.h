// The command line of lumbra-rip.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lumbra::cli {

enum class Action { Rip, List, Settings, FindOffset, Help, Version };
enum class OverwriteAnswer { Ask, Yes, No };

struct Options {
    Action action = Action::Rip;
    std::string home;
    bool demo = false;
    std::vector<std::string> images;
    int drive = 0;
    std::vector<int> tracks;    // 1-based; empty: every audio track
    std::optional<int> format;  // OutputFormat; unset: the settings' default
    std::optional<std::string> outputFolder;
    std::optional<std::string> namingTemplate;
    OverwriteAnswer overwrite = OverwriteAnswer::Ask;
    std::optional<bool> lookup;      // unset: setup.ini's automatic lookup
    std::optional<int> jobs;         // encoder threads; unset: setup.ini's, 0: one per core
    std::optional<bool> replayGain;  // unset: setup.ini's REPLAYGAIN
    bool accurateRip = true;         // false: no AccurateRip lookup and no accuraterip lines
    bool musicBrainz = true;         // false: lookups skip MusicBrainz (default: setup.ini's)
    std::optional<int> readOffset;   // samples, for this run; unset: setup.ini's for the drive
    bool testAndCopy = false;        // true: each track read twice (default: setup.ini's)
    bool eject =
        false;  // true: the tray opens after a rip that wrote every track (else setup.ini's)
};

// The drive list holds at most this many drives, so more discs would be left out unseen.
inline constexpr size_t kMaxVirtualDrives = 8;

// The options, or what is wrong with the command line ("unknown option --bogus"), to be printed
// before the usage.
std::variant<Options, std::string> parseOptions(int argc, char** argv);

// "1,3-5" as {1, 3, 4, 5}; nullopt when malformed.
std::optional<std::vector<int>> parseTrackList(const std::string& text);

// The usage text, naming the formats of the format table.
const std::string& usageText();
// "lumbra-rip (Lumbra CD Ripper) 0.1.0": the version the about page shows too.
std::string versionText();

}  // namespace lumbra::cli
