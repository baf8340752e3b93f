// The one owner of a CD access handle: whoever holds it, the handle is released on every path,
// exactly once, even when a stop on another thread lets go of it while its user still runs.
#pragma once

#include <atomic>

#include "cdaccess/cd_access.h"

namespace lumbra {

class CdHandle {
public:
    CdHandle() = default;
    explicit CdHandle(const OpenDriveRequest& drive) { open(drive); }
    CdHandle(const CdHandle&) = delete;
    CdHandle& operator=(const CdHandle&) = delete;
    ~CdHandle() { release(); }

    // Opens the drive, first letting go of a handle already held; the handle, or 0.
    int open(const OpenDriveRequest& drive);
    // Lets go of the handle; a second call, on any thread, finds nothing left to release.
    void release();
    int get() const { return handle_; }
    explicit operator bool() const { return handle_ > 0; }

private:
    std::atomic<int> handle_{0};
};

}  // namespace lumbra
