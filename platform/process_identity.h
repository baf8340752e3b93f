// Telling whether the process that took something still runs, even when its id was reused.
#pragma once

#include <cstdint>
#include <sys/types.h>

namespace lumbra::platform {

struct ProcessIdentity {
    pid_t pid = 0;
    uint64_t startTime = 0;  // clock ticks after boot; 0 when unknown
};

ProcessIdentity currentProcess();

// False when no process has that id, or one with another start time (the id was reused).
bool isRunning(const ProcessIdentity& process);

}  // namespace lumbra::platform
