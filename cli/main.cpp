// lumbra-rip: the command-line front end over the ripper's core.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/settings_loaders.h"
#include "cli/settings_report.h"
#include "platform/program_home.h"

namespace {

constexpr int kExitUsage = 2;

constexpr std::string_view kUsage =
    "usage: lumbra-rip [--home DIR] --settings\n"
    "  --home DIR   program home holding setup.ini (default: $LUMBRA_HOME or the program's folder)\n"
    "  --settings   load setup.ini as the program does at start-up and print the settings\n";

struct Options {
    std::string home;
    bool settings = false;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--home" && i + 1 < argc) {
            options.home = argv[++i];
        } else if (arg == "--settings") {
            options.settings = true;
        } else {
            return false;
        }
    }
    return options.settings;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage.data(), stderr);
        return kExitUsage;
    }
    if (!options.home.empty()) setenv("LUMBRA_HOME", options.home.c_str(), 1);
    const std::string home = lumbra::platform::programHome();
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    lumbra::SettingsRecord record;
    const auto loaded = lumbra::loadAllSettings(store, record, home);
    std::fputs(lumbra::cli::settingsReport(record, loaded).c_str(), stdout);
    return 0;
}
