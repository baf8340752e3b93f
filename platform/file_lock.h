// A lock between processes on a file of its own, for a read-modify-write of a file that several
// running programs change: each replaces the file with its own edit of what it read, so without
// the lock one program's edit is lost under another's.
#pragma once

#include <string>

#include "platform/unique_fd.h"

namespace lumbra::platform {

class FileLock {
public:
    // Waits until the lock on `lockPath` (created when missing) is held. When the lock file
    // cannot be opened, as in a read-only folder, nothing is held: the write it guards fails
    // there anyway.
    explicit FileLock(const std::string& lockPath);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    // Closing the lock file lets the lock go.
    ~FileLock() = default;

    bool held() const { return held_; }

private:
    UniqueFd fd_;
    bool held_ = false;
};

}  // namespace lumbra::platform
