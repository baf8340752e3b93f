#include "app/virtual_drive_options.h"

#include <cstdio>
#include <fstream>

#include "platform/install_layout.h"

namespace lumbra {
namespace {

constexpr const char* kLibraryName = "liblumbra_virtualdrive.so";

// The disc-list entry that names exactly this sheet: the list separates entries with ";", trims
// blanks and knows "demo", so a path holding any of them goes percent-encoded.
std::string sheetEntry(const std::string& path) {
    std::string entry = "file:";
    for (const unsigned char c : path) {
        if (c == '%' || c == ';' || c <= ' ' || c == 0x7F) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            entry += escaped;
        } else {
            entry += char(c);
        }
    }
    return entry;
}

}  // namespace

std::string virtualDiscList(bool demo, const std::vector<std::string>& sheets) {
    std::string discs = demo ? "demo" : "";
    for (const auto& sheet : sheets) discs += (discs.empty() ? "" : ";") + sheetEntry(sheet);
    return discs;
}

std::variant<CdAccessOptions, std::string> virtualDriveOptions(
    bool demo, const std::vector<std::string>& sheets) {
    if (!demo && sheets.empty()) return CdAccessOptions{};
    const std::string library = platform::modulePath(kLibraryName);
    if (!std::ifstream(library, std::ios::binary).is_open())
        return "the virtual drive library " + library + " is missing";
    return CdAccessOptions{library, virtualDiscList(demo, sheets)};
}

}  // namespace lumbra
