// Where the program finds the libraries it loads at run time and the files it ships with.
#pragma once

#include <string>

namespace lumbra::platform {

// An installed program lives in bin/ beside lib/<multiarch>/lumbra-cdripper (its run-time-loaded
// libraries) and share/lumbra-cdripper (help and data). A program in a build folder, or copied
// into one folder of its own, has all of that beside the executable.
struct InstallLayout {
    bool installed = false;
    std::string moduleFolder;  // native paths without a trailing slash
    std::string dataFolder;
};

// The layout around an executable in `binFolder`: installed when the private library folder
// exists where an install puts it, else everything beside the executable.
InstallLayout installLayoutFor(const std::string& binFolder);

// The running program's layout, worked out once.
const InstallLayout& installLayout();

// The full path of a run-time-loaded library of ours, like "liblumbra_virtualdrive.so".
std::string modulePath(const std::string& fileName);

}  // namespace lumbra::platform
