// Named shared memory seen by every process of the same namespace.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace lumbra::platform {

class SharedMemory {
public:
    // Opens the named block, creating it zero-filled when no process has it; nullptr on failure.
    static std::unique_ptr<SharedMemory> open(std::string_view name, size_t size);
    // Removes the name; processes that have it mapped keep their mapping.
    static void remove(std::string_view name);

    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    ~SharedMemory();

    void* data() const { return data_; }
    size_t size() const { return size_; }
    // True when this open created the block, so its creator initialises it.
    bool createdNew() const { return createdNew_; }

private:
    SharedMemory(void* data, size_t size, bool createdNew)
        : data_(data), size_(size), createdNew_(createdNew) {}

    void* data_;
    size_t size_;
    bool createdNew_;
};

}  // namespace lumbra::platform
