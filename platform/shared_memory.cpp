#include "platform/shared_memory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <cerrno>

#include "platform/ipc_name.h"
#include "platform/unique_fd.h"

namespace lumbra::platform {

std::unique_ptr<SharedMemory> SharedMemory::open(std::string_view name, size_t size) {
    const std::string objectName = ipcObjectName(name);
    bool createdNew = true;
    UniqueFd fd(shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd && errno == EEXIST) {
        createdNew = false;
        fd = UniqueFd(shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0600));
    }
    if (!fd) return nullptr;
    // An opener may come between the creator's open and its resize; growing to the same size
    // from both sides is harmless and keeps the mapping from ending short.
    struct stat st {};
    if (fstat(fd.get(), &st) != 0) return nullptr;
    if (size_t(st.st_size) < size && ftruncate(fd.get(), off_t(size)) != 0) return nullptr;
    void* data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
    if (data == MAP_FAILED) return nullptr;
    return std::unique_ptr<SharedMemory>(new SharedMemory(data, size, createdNew));
}

void SharedMemory::remove(std::string_view name) {
    shm_unlink(ipcObjectName(name).c_str());
}

SharedMemory::~SharedMemory() {
    munmap(data_, size_);
}

}  // namespace lumbra::platform
