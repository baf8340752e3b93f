// Scheduling of the program's own threads.
#pragma once

namespace lumbra::platform {

// Runs the calling thread at the lowest normal priority (nice 19): it yields the processor to
// whatever the user does, yet still gets its share on a busy machine, where an idle-class thread
// would hardly run at all. Threads it creates afterwards start with the same priority.
void useLowestNormalPriority();

}  // namespace lumbra::platform
