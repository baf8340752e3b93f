// A library loaded at run time, unloaded when its owner goes.
#pragma once

#include <string>

namespace lumbra::platform {

class SharedLibrary {
public:
    // Loads `path`; on failure isLoaded() is false and errorText() holds the system's reason.
    explicit SharedLibrary(const std::string& path);
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    bool isLoaded() const { return handle_ != nullptr; }
    const std::string& errorText() const { return error_; }

    // The address of an exported symbol, or nullptr with errorText() set.
    void* symbol(const char* name);

    template <typename Function>
    Function function(const char* name) {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace lumbra::platform
