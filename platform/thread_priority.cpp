#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace lumbra::platform {

void useLowestNormalPriority() {
    constexpr int kLowestNice = 19;
    // On Linux each thread has a nice value of its own, named by its thread ID; a refusal leaves
    // the thread as it was, which only costs the user some responsiveness.
    (void)::setpriority(PRIO_PROCESS, id_t(::gettid()), kLowestNice);
}

}  // namespace lumbra::platform
