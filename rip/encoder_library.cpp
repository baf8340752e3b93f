#include "rip/encoder_library.h"

#include <cstdlib>

#include "platform/install_layout.h"

namespace lumbra {

const std::vector<const char*> kLameEntryPointNames = {"beInitStream",   "beEncodeChunk",
                                                       "beDeinitStream", "beCloseStream",
                                                       "beVersion",      "beWriteVBRHeader"};

std::string pluginPath(const char* libraryName) {
    const char* folder = std::getenv("LUMBRA_PLUGIN_DIR");
    if (folder && *folder) return std::string(folder) + "/" + libraryName;
    return platform::modulePath(libraryName);
}

LoadedEncoderLibrary loadEncoderLibrary(const char* libraryName,
                                        const std::vector<const char*>& entryPoints) {
    LoadedEncoderLibrary result;
    result.library = std::make_unique<platform::SharedLibrary>(pluginPath(libraryName));
    result.loaded = result.library->isLoaded();
    if (!result.loaded) {
        result.error = result.library->errorText();
        result.library.reset();
        return result;
    }
    result.entryPointsFound = true;
    for (const char* name : entryPoints)
        result.entryPointsFound &= result.library->symbol(name) != nullptr;
    if (!result.entryPointsFound) result.library.reset();
    return result;
}

}  // namespace lumbra
