#include "cli/virtual_drives.h"

#include <unistd.h>
#include <cstdio>

#include "platform/program_home.h"

namespace lumbra::cli {

namespace {
constexpr const char* kLibraryName = "liblumbra_virtualdrive.so";
}

bool useVirtualDrives(const Options& options, CdAccessOptions& cdAccess) {
    const std::string library = platform::executableFolder() + "/" + kLibraryName;
    if (access(library.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "lumbra-rip: the virtual drive library %s is missing\n",
                     library.c_str());
        return false;
    }
    std::string discs = options.demo ? "demo" : "";
    for (const auto& image : options.images) discs += (discs.empty() ? "" : ";") + image;
    cdAccess.aspiLibrary = library;
    cdAccess.virtualDiscs = discs;
    return true;
}

}  // namespace lumbra::cli
