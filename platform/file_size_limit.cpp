#include "platform/file_size_limit.h"

#include <csignal>

namespace lumbra::platform {

void failWritesPastFileSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace lumbra::platform
