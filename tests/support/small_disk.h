// A small file system for a test: a tmpfs of a given size mounted over a folder, in a mount
// namespace of the test process's own (and a user namespace when the process may not mount),
// so nothing outside the process sees it and no privileges are needed where the kernel lets
// users have namespaces.
#pragma once

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

namespace lumbra::test {

// Gives the process mounts of its own. Call it while the process has a single thread; false
// when the system refuses.
inline bool enterPrivateMounts() {
    const auto uid = geteuid();
    const auto gid = getegid();
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    return mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

class SmallDisk {
public:
    // Mounts a tmpfs of `bytes` over the existing folder `path`.
    SmallDisk(std::string path, uint64_t bytes) : path_(std::move(path)) {
        const std::string options = "size=" + std::to_string(bytes);
        mounted_ = mount("lumbra-test", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    }

    bool mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

}  // namespace lumbra::test
