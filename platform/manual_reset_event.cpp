#include "platform/manual_reset_event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdint>

namespace lumbra::platform {

ManualResetEvent::ManualResetEvent() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

void ManualResetEvent::set() {
    signalEventDescriptor(fd_.get());
}

void ManualResetEvent::reset() {
    uint64_t count;
    while (read(fd_.get(), &count, sizeof count) == sizeof count) {
    }
}

bool ManualResetEvent::wait(std::chrono::milliseconds timeout) const {
    pollfd p{fd_.get(), POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        const int rc = poll(&p, 1, int(std::max<int64_t>(0, left.count())));
        if (rc > 0) return true;
        if (rc == 0 || errno != EINTR) return false;
    }
}

void signalEventDescriptor(int descriptor) {
    const uint64_t one = 1;
    while (write(descriptor, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

}  // namespace lumbra::platform
