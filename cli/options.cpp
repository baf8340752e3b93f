#include "cli/options.h"

#include <charconv>
#include <string_view>

namespace lumbra::cli {
namespace {

bool parseIndex(std::string_view text, int& out) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
    return error == std::errc() && end == text.data() + text.size() && out >= 0;
}

}  // namespace

const char* const kUsage =
    "usage: lumbra-rip [--home DIR] [--demo] [--image FILE.cue]... [--drive N] (--list | --settings)\n"
    "  --home DIR       program home holding setup.ini (default: $LUMBRA_HOME or the program's folder)\n"
    "  --demo           add a virtual drive holding the built-in demo disc\n"
    "  --image FILE     add a virtual drive holding a CUE sheet's disc (repeatable)\n"
    "  --drive N        the drive to use, by its index in the drive list (default 0)\n"
    "  --list           print the drives and the chosen drive's tracks\n"
    "  --settings       load setup.ini as the program does at start-up and print the settings\n";

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--home" && hasValue) {
            options.home = argv[++i];
        } else if (arg == "--image" && hasValue) {
            options.images.emplace_back(argv[++i]);
        } else if (arg == "--drive" && hasValue) {
            if (!parseIndex(argv[++i], options.drive)) return std::nullopt;
        } else if (arg == "--demo") {
            options.demo = true;
        } else if (arg == "--list") {
            options.list = true;
        } else if (arg == "--settings") {
            options.settings = true;
        } else {
            return std::nullopt;
        }
    }
    if (!options.list && !options.settings) return std::nullopt;
    return options;
}

}  // namespace lumbra::cli
