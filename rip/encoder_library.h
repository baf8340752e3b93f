// The encoder libraries the rip job loads at run time, found among the program's modules (or in
// $LUMBRA_PLUGIN_DIR): the MP3 encoder and the WMA writer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/shared_library.h"

namespace lumbra {

inline constexpr const char* kLameLibraryName = "liblame_enc.so";
inline constexpr const char* kWmaLibraryName = "libwmaudsdk.so";

// The full path of a plugin library.
std::string pluginPath(const char* libraryName);

// The MP3 encoder's six entry points.
extern const std::vector<const char*> kLameEntryPointNames;

// A loaded library with every named entry point present.
struct LoadedEncoderLibrary {
    std::unique_ptr<platform::SharedLibrary> library;
    bool loaded = false;  // false: `error` holds the system's reason
    bool entryPointsFound = false;
    std::string error;
};

LoadedEncoderLibrary loadEncoderLibrary(const char* libraryName,
                                        const std::vector<const char*>& entryPoints);

}  // namespace lumbra
