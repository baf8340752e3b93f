#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "cdaccess/read_offset.h"
#include "rip/output_formats.h"

namespace lumbra::cli {
namespace {

constexpr int kMaxTrackNumber = 99;
// More encoder threads than tracks on a disc would never have work.
constexpr int kMaxJobs = 99;

std::optional<int> parseNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// A format is named on the command line by its file extension without the dot.
std::string_view optionName(const OutputFormatEntry& format) {
    return std::string_view(format.extension).substr(1);
}

std::optional<int> parseFormat(std::string_view text) {
    for (const auto& format : outputFormats()) {
        if (optionName(format) == text) return format.id;
    }
    return std::nullopt;
}

std::string formatNames() {
    std::string names;
    for (const auto& format : outputFormats()) {
        names += (names.empty() ? "" : "|") + std::string(optionName(format));
    }
    return names;
}

// A signed number of samples within the offsets drives have.
std::optional<int> parseReadOffset(std::string_view text) {
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    const auto magnitude = parseNumber(text);
    if (text.starts_with('-') || text.starts_with('+') || !magnitude ||
        *magnitude > kMaxReadOffset) {
        return std::nullopt;
    }
    return negative ? -*magnitude : *magnitude;
}

bool isValueOption(std::string_view option) {
    static constexpr std::string_view kValueOptions[] = {"--home",     "--image",  "--drive",
                                                         "--tracks",   "--format", "--out",
                                                         "--template", "--jobs",   "--read-offset"};
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) !=
           std::end(kValueOptions);
}

bool parseValueOption(std::string_view option, const char* value, Options& options) {
    if (option == "--home") {
        options.home = value;
    } else if (option == "--image") {
        options.images.emplace_back(value);
    } else if (option == "--drive") {
        const auto drive = parseNumber(value);
        if (!drive) return false;
        options.drive = *drive;
    } else if (option == "--tracks") {
        const auto tracks = parseTrackList(value);
        if (!tracks) return false;
        options.tracks = *tracks;
    } else if (option == "--format") {
        options.format = parseFormat(value);
        if (!options.format) return false;
    } else if (option == "--out") {
        options.outputFolder = value;
    } else if (option == "--template") {
        options.namingTemplate = value;
    } else if (option == "--read-offset") {
        options.readOffset = parseReadOffset(value);
        if (!options.readOffset) return false;
    } else if (option == "--jobs") {
        options.jobs = parseNumber(value);
        if (!options.jobs || *options.jobs > kMaxJobs) return false;
    } else {
        return false;
    }
    return true;
}

bool parseFlag(std::string_view option, Options& options) {
    if (option == "--demo") {
        options.demo = true;
    } else if (option == "--list") {
        options.action = Action::List;
    } else if (option == "--settings") {
        options.action = Action::Settings;
    } else if (option == "--yes") {
        options.overwrite = OverwriteAnswer::Yes;
    } else if (option == "--no") {
        options.overwrite = OverwriteAnswer::No;
    } else if (option == "--lookup") {
        options.lookup = true;
    } else if (option == "--no-lookup") {
        options.lookup = false;
    } else if (option == "--replaygain") {
        options.replayGain = true;
    } else if (option == "--no-replaygain") {
        options.replayGain = false;
    } else if (option == "--no-accuraterip") {
        options.accurateRip = false;
    } else if (option == "--no-musicbrainz") {
        options.musicBrainz = false;
    } else if (option == "--test-and-copy") {
        options.testAndCopy = true;
    } else if (option == "--eject") {
        options.eject = true;
    } else if (option == "--find-offset") {
        options.action = Action::FindOffset;
    } else if (option == "--help" || option == "-h") {
        options.action = Action::Help;
    } else if (option == "--version") {
        options.action = Action::Version;
    } else {
        return false;
    }
    return true;
}

// The usage after its first two lines, which name the formats.
constexpr const char* kUsageOptions =
    "                   [--out DIR] [--template TEXT] [--yes | --no] [--jobs N]\n"
    "                   [--replaygain | --no-replaygain] [--no-accuraterip] [--no-musicbrainz]\n"
    "                   [--read-offset N] [--test-and-copy] | --find-offset]\n"
    "  --home DIR       program home holding setup.ini (default: $LUMBRA_HOME, else the program's\n"
    "                   folder when it runs from its build folder, else\n"
    "                   $XDG_CONFIG_HOME/lumbra-cdripper: ~/.config/lumbra-cdripper for an\n"
    "                   installed program)\n"
    "  --demo           add a virtual drive holding the built-in demo disc\n"
    "  --image FILE     add a virtual drive holding a CUE sheet's disc (repeatable)\n"
    "  --drive N        the drive to use, by its index in the drive list (default 0)\n"
    "  --lookup         look the disc's titles up in the local CDDB database and at the first\n"
    "                   CDDB server of setup.ini before listing or ripping\n"
    "  --no-lookup      keep the default titles (default: setup.ini's CDDB_AUTO)\n"
    "  --no-musicbrainz look the disc up without asking MusicBrainz, in the local database and\n"
    "                   at the CDDB server only (default: setup.ini's MB_ENABLE)\n"
    "  --list           print the drives and the chosen drive's tracks\n"
    "  --settings       load setup.ini as the program does at start-up and print the settings\n"
    "  --tracks LIST    tracks to rip, 1-based, like 1,3-5 (default: every audio track)\n"
    "  --format F       output format of every ripped track (default: the settings' default)\n"
    "  --out DIR        output folder for this run\n"
    "  --template TEXT  naming template for this run, like \"<Artist> \\ <Album> \\ <Title>\"\n"
    "  --jobs N         encoder threads for this run, 0 for one per core (default: setup.ini's\n"
    "                   ENCODER_THREADS)\n"
    "  --yes, --no      answer to \"overwrite an existing file?\" (default: ask on a terminal)\n"
    "  --replaygain, --no-replaygain\n"
    "                   measure each track's loudness while reading it and write ReplayGain\n"
    "                   tags, or not (default: setup.ini's REPLAYGAIN)\n"
    "  --no-accuraterip rip without checking the tracks against the AccurateRip database\n"
    "                   (default: setup.ini's AR_ENABLE)\n"
    "  --read-offset N  correct the drive's read offset by N samples (-3000 to 3000) for this\n"
    "                   run (default: setup.ini's offset for the drive's model)\n"
    "  --test-and-copy  read each track twice, first only to compare the two reads' CRC32\n"
    "                   (default: setup.ini's TEST_AND_COPY)\n"
    "  --eject          open the tray after a rip that wrote every ticked track\n"
    "                   (default: setup.ini's EJECT_AFTER_RIP)\n"
    "  --find-offset    find the drive's read offset from the disc's first tracks and the\n"
    "                   AccurateRip database, and offer to store it\n"
    "  --help           print this text\n"
    "  --version        print the version\n"
    "Without --list, --settings or --find-offset the tracks are ripped.\n";

}  // namespace

std::string versionText() {
    return "lumbra-rip (Lumbra CD Ripper) " LUMBRA_VERSION;
}

const std::string& usageText() {
    static const std::string usage =
        versionText() + "\n" +
        "usage: lumbra-rip [--home DIR] [--demo] [--image FILE.cue]... [--drive N] [--lookup | "
        "--no-lookup]\n"
        "                  [--list | --settings | [--tracks LIST] [--format " +
        formatNames() + "]\n" + kUsageOptions;
    return usage;
}

std::optional<std::vector<int>> parseTrackList(const std::string& text) {
    std::vector<int> tracks;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t comma = rest.find(',');
        const std::string_view item = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
        const size_t dash = item.find('-');
        const auto first = parseNumber(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : parseNumber(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first || *last > kMaxTrackNumber)
            return std::nullopt;
        for (int t = *first; t <= *last; ++t) tracks.push_back(t);
    }
    if (tracks.empty()) return std::nullopt;
    return tracks;
}

std::variant<Options, std::string> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (parseFlag(option, options)) continue;
        if (!isValueOption(option)) return "unknown option " + std::string(option);
        if (i + 1 >= argc) return "option " + std::string(option) + " needs a value";
        if (!parseValueOption(option, argv[i + 1], options)) {
            return "bad value for " + std::string(option) + ": " + argv[i + 1];
        }
        ++i;
    }
    const size_t discs = options.images.size() + (options.demo ? 1 : 0);
    if (discs > kMaxVirtualDrives) {
        return std::to_string(discs) + " discs given, but there are at most " +
               std::to_string(kMaxVirtualDrives) + " drives";
    }
    return options;
}

}  // namespace lumbra::cli
