// The temporary file of CD audio the PCM writer filled, read once from its start by a converter.
// The job that created the file removes it once the converter is done, whatever the outcome.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

namespace lumbra {

class TemporaryPcm {
public:
    // Opens `path` for reading; isOpen() tells whether that worked.
    explicit TemporaryPcm(std::string path);
    TemporaryPcm(const TemporaryPcm&) = delete;
    TemporaryPcm& operator=(const TemporaryPcm&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    // The file's size in bytes; 0 when it cannot be told.
    uint64_t size() const;
    // Reads the next bytes into `chunk`; how many, 0 at the end or on a read error.
    size_t read(std::span<uint8_t> chunk);
    // True once a read failed.
    bool readFailed() const;

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::string path_;
    std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace lumbra
