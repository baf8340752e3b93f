#include "platform/shared_library.h"

#include <dlfcn.h>
#include <utility>

namespace lumbra::platform {
namespace {

std::string lastDlError() {
    const char* text = dlerror();
    return text ? std::string(text) : std::string("unknown error");
}

}  // namespace

SharedLibrary::SharedLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) error_ = lastDlError();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        if (handle_) dlclose(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

SharedLibrary::~SharedLibrary() {
    if (handle_) dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) {
    if (!handle_) return nullptr;
    dlerror();
    void* address = dlsym(handle_, name);
    if (!address) error_ = lastDlError();
    return address;
}

}  // namespace lumbra::platform
