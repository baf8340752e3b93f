#include "plugins/virtualdrive/disc_loader.h"

#include <filesystem>
#include <variant>

#include "plugins/virtualdrive/cue_sheet_loader.h"
#include "plugins/virtualdrive/demo_disc.h"

namespace lumbra::virtualdrive {

namespace {
constexpr std::string_view kDemoEntry = "demo";
}

std::string discNameOf(std::string_view entry) {
    if (entry == kDemoEntry) return std::string(kDemoEntry);
    return std::filesystem::path(entry).filename().string();
}

LoadedDisc loadDisc(std::string_view entry) {
    LoadedDisc loaded{discNameOf(entry), nullptr, ""};
    if (entry.empty()) return loaded;
    if (entry == kDemoEntry) {
        loaded.disc = makeDemoDisc();
        return loaded;
    }
    auto result = loadCueSheet(std::string(entry));
    if (auto* problem = std::get_if<std::string>(&result)) {
        loaded.problem = std::move(*problem);
    } else {
        loaded.disc = std::move(std::get<std::unique_ptr<Disc>>(result));
    }
    return loaded;
}

}  // namespace lumbra::virtualdrive
