#include "cli/virtual_drives.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "platform/program_home.h"

namespace lumbra::cli {

namespace {
constexpr const char* kLibraryName = "liblumbra_virtualdrive.so";
}

bool useVirtualDrives(const Options& options) {
    const std::string library = platform::executableFolder() + "/" + kLibraryName;
    if (access(library.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "lumbra-rip: the virtual drive library %s is missing\n", library.c_str());
        return false;
    }
    std::string discs = options.demo ? "demo" : "";
    for (const auto& image : options.images) discs += (discs.empty() ? "" : ";") + image;
    setenv("LUMBRA_ASPI_LIBRARY", library.c_str(), 1);
    setenv("LUMBRA_VIRTUAL_DISCS", discs.c_str(), 1);
    return true;
}

}  // namespace lumbra::cli
