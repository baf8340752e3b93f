// lumbra-rip: the command-line front end over the ripper's core.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/virtual_drive_options.h"
#include "cdaccess/cd_access.h"
#include "cli/options.h"
#include "cli/rip_command.h"
#include "cli/settings_report.h"
#include "platform/control_characters.h"
#include "platform/file_size_limit.h"
#include "platform/program_home.h"
#include "settings/settings_loaders.h"

namespace {

constexpr int kExitNoToc = 1;
constexpr int kExitUsage = 2;

int printSettings(const std::string& home) {
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    lumbra::SettingsRecord record;
    const auto loaded = lumbra::loadAllSettings(store, record, home);
    const std::string report = lumbra::cli::settingsReport(record, loaded);
    std::fputs(lumbra::platform::printableText(report).c_str(), stdout);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    lumbra::platform::failWritesPastFileSizeLimit();
    const auto parsed = lumbra::cli::parseOptions(argc, argv);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "lumbra-rip: %s\n", problem->c_str());
        std::fputs(lumbra::cli::usageText().c_str(), stderr);
        return kExitUsage;
    }
    const auto* options = &std::get<lumbra::cli::Options>(parsed);
    if (options->action == lumbra::cli::Action::Help) {
        std::fputs(lumbra::cli::usageText().c_str(), stdout);
        return EXIT_SUCCESS;
    }
    if (options->action == lumbra::cli::Action::Version) {
        std::puts(lumbra::cli::versionText().c_str());
        return EXIT_SUCCESS;
    }
    const std::string home = lumbra::platform::programHome(options->home);
    const auto cdAccess = lumbra::virtualDriveOptions(options->demo, options->images);
    if (const auto* problem = std::get_if<std::string>(&cdAccess)) {
        std::fprintf(stderr, "lumbra-rip: %s\n", problem->c_str());
        return kExitNoToc;
    }
    if (const auto notice = lumbra::settingsFileNotice(lumbra::settingsPath(home))) {
        std::fprintf(stderr, "lumbra-rip: %s\n", notice->c_str());
    }
    if (options->action == lumbra::cli::Action::Settings) return printSettings(home);
    lumbra::initCdAccess(std::get<lumbra::CdAccessOptions>(cdAccess));
    if (options->action == lumbra::cli::Action::List) return lumbra::cli::listDisc(*options, home);
    if (options->action == lumbra::cli::Action::FindOffset) {
        return lumbra::cli::findOffset(*options, home);
    }
    return lumbra::cli::ripDisc(*options, home);
}
