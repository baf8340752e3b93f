#include "plugins/virtualdrive/disc_loader.h"

#include <filesystem>
#include <optional>
#include <variant>

#include "plugins/virtualdrive/cue_sheet_loader.h"
#include "plugins/virtualdrive/demo_disc.h"

namespace lumbra::virtualdrive {

namespace {

constexpr std::string_view kDemoEntry = "demo";
constexpr std::string_view kFilePrefix = "file:";

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%XX" stands for the byte XX; a "%" not followed by two hex digits stands for itself.
std::string percentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const int high = i + 2 < text.size() && text[i] == '%' ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low >= 0) {
            out += char(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The sheet an entry names, or nullopt for the demo disc and an empty drive.
std::optional<std::string> sheetPathOf(std::string_view entry) {
    if (entry.empty() || entry == kDemoEntry) return std::nullopt;
    if (entry.starts_with(kFilePrefix)) return percentDecoded(entry.substr(kFilePrefix.size()));
    return std::string(entry);
}

uint64_t fnv1a(std::string_view text) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char c : text) hash = (hash ^ c) * 0x100000001B3ull;
    return hash ? hash : 1;
}

}  // namespace

std::string discNameOf(std::string_view entry) {
    const auto path = sheetPathOf(entry);
    if (!path) return std::string(entry);
    return std::filesystem::path(*path).filename().string();
}

uint64_t discIdentityOf(std::string_view entry) {
    const auto path = sheetPathOf(entry);
    if (!path) return fnv1a(entry);
    std::error_code error;
    const auto canonical =
        std::filesystem::weakly_canonical(std::filesystem::absolute(*path), error);
    return fnv1a("sheet:" + (error ? *path : canonical.string()));
}

LoadedDisc loadDisc(std::string_view entry) {
    LoadedDisc loaded{discNameOf(entry), nullptr, "", discIdentityOf(entry)};
    const auto path = sheetPathOf(entry);
    if (!path) {
        if (entry == kDemoEntry) loaded.disc = makeDemoDisc();
        return loaded;
    }
    auto result = loadCueSheet(*path);
    if (auto* problem = std::get_if<std::string>(&result)) {
        loaded.problem = std::move(*problem);
    } else {
        loaded.disc = std::move(std::get<std::unique_ptr<Disc>>(result));
    }
    return loaded;
}

}  // namespace lumbra::virtualdrive
