// Telling whether the process that took something still runs, even when its id was reused.
#pragma once

#include <sys/types.h>
#include <cstdint>

namespace lumbra::platform {

struct ProcessIdentity {
    pid_t pid = 0;
    uint64_t startTime = 0;  // clock ticks after boot; 0 when unknown
};

ProcessIdentity currentProcess();

// The start time of the process with that id, or 0 when there is none or it cannot be read.
uint64_t startTimeOf(pid_t pid);

// False when no process has that id, or one with another start time (the id was reused).
bool isRunning(const ProcessIdentity& process);

}  // namespace lumbra::platform
