#include "cli/virtual_drives.h"

#include <unistd.h>
#include <cstdio>

#include "platform/install_layout.h"

namespace lumbra::cli {

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

bool useVirtualDrives(const Options& options, CdAccessOptions& cdAccess) {
    const std::string library = platform::modulePath(kLibraryName);
    if (access(library.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "lumbra-rip: the virtual drive library %s is missing\n",
                     library.c_str());
        return false;
    }
    std::string discs = options.demo ? "demo" : "";
    for (const auto& image : options.images)
        discs += (discs.empty() ? "" : ";") + sheetEntry(image);
    cdAccess.aspiLibrary = library;
    cdAccess.virtualDiscs = discs;
    return true;
}

}  // namespace lumbra::cli
