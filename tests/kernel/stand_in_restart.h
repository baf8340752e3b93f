// Programs that need the kernel stand-in start themselves again with it preloaded, so that they
// run the same from ctest and by hand.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumbra::test {

// The stand-in's configuration entry: discs, faults (as the virtual drive library reads them) and
// kernel rules; returns the number of drives.
using SrConfigureFunction = int (*)(const char*, const char*, const char*);

inline SrConfigureFunction srConfigureFunction() {
    return reinterpret_cast<SrConfigureFunction>(dlsym(RTLD_DEFAULT, "LumbraSrConfigure"));
}

// Returns when the stand-in is loaded; otherwise starts this program again with `library`
// preloaded, or returns after a second start that still lacks it. The sanitizer runtimes want
// to come first among the libraries, which a preloaded one then is.
inline void restartWithStandIn(char** argv, const char* library) {
    if (srConfigureFunction() || std::getenv("LUMBRA_SR_RESTARTED")) return;
    setenv("LUMBRA_SR_RESTARTED", "1", 1);
    setenv("LD_PRELOAD", library, 1);
    const char* asan = std::getenv("ASAN_OPTIONS");
    setenv("ASAN_OPTIONS", (std::string(asan ? asan : "") + ":verify_asan_link_order=0").c_str(),
           1);
    execv("/proc/self/exe", argv);
    std::perror("cannot start again with the sr stand-in");
}

}  // namespace lumbra::test
