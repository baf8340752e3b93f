#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <cerrno>

namespace lumbra::platform {

FileLock::FileLock(const std::string& lockPath)
    : fd_(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
    if (!fd_) return;
    // flock belongs to the open file, so two threads of one program exclude each other too.
    int locked;
    do {
        locked = ::flock(fd_.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    held_ = locked == 0;
}

}  // namespace lumbra::platform
