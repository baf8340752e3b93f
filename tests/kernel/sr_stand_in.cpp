// The system calls a program makes on /dev/srN, answered by the kernel stand-in when preloaded;
// every other path and descriptor goes on to the C library.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdarg>

#include "kernel/sr_kernel.h"

namespace {

using lumbra::test::SrKernel;

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// A real descriptor stands for each open node, so numbers never clash with the program's own.
int placeholder(int flags) {
    static const auto realOpen = next<int (*)(const char*, int, ...)>("open");
    return realOpen("/dev/null", O_RDWR | (flags & O_CLOEXEC));
}

int openPath(const char* path, int flags, mode_t mode, const char* realName) {
    if (const auto drive = SrKernel::instance().nodeOf(path)) {
        const int fd = placeholder(flags);
        if (fd < 0) return -1;
        const int opened = SrKernel::instance().openNode(*drive, flags, fd);
        if (opened < 0) {
            const int error = errno;
            next<int (*)(int)>("close")(fd);
            errno = error;
        }
        return opened;
    }
    return next<int (*)(const char*, int, ...)>(realName)(path, flags, mode);
}

mode_t modeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) ? mode_t(va_arg(arguments, unsigned)) : 0;
}

}  // namespace

#define STAND_IN_EXPORT extern "C" __attribute__((visibility("default")))

STAND_IN_EXPORT int LumbraSrConfigure(const char* discs, const char* faults, const char* rules) {
    return SrKernel::instance().configure(discs ? discs : "", faults ? faults : "",
                                          rules ? rules : "");
}

STAND_IN_EXPORT int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags, mode, "open");
}

STAND_IN_EXPORT int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return openPath(path, flags, mode, "open64");
}

STAND_IN_EXPORT int __open_2(const char* path, int flags) {
    return openPath(path, flags, 0, "open");
}

STAND_IN_EXPORT int __open64_2(const char* path, int flags) {
    return openPath(path, flags, 0, "open64");
}

STAND_IN_EXPORT int close(int fd) {
    if (SrKernel::instance().isOurs(fd)) SrKernel::instance().closed(fd);
    return next<int (*)(int)>("close")(fd);
}

STAND_IN_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    if (SrKernel::instance().isOurs(fd)) return SrKernel::instance().ioctl(fd, request, argument);
    return next<int (*)(int, unsigned long, ...)>("ioctl")(fd, request, argument);
}

STAND_IN_EXPORT int stat(const char* path, struct stat* out) noexcept {
    if (const auto drive = SrKernel::instance().nodeOf(path)) {
        return SrKernel::instance().statNode(*drive, *out);
    }
    return next<int (*)(const char*, struct stat*)>("stat")(path, out);
}

STAND_IN_EXPORT int stat64(const char* path, struct stat64* out) noexcept {
    static_assert(sizeof(struct stat64) == sizeof(struct stat));
    return stat(path, reinterpret_cast<struct stat*>(out));
}

STAND_IN_EXPORT int fstat(int fd, struct stat* out) noexcept {
    if (SrKernel::instance().isOurs(fd)) return SrKernel::instance().statDescriptor(fd, *out);
    return next<int (*)(int, struct stat*)>("fstat")(fd, out);
}

STAND_IN_EXPORT int fstat64(int fd, struct stat64* out) noexcept {
    return fstat(fd, reinterpret_cast<struct stat*>(out));
}
