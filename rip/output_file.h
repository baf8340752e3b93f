// A file a writer creates: written through stdio, remembering the first write error, and deleted
// unless the writer keeps it, so a failed or stopped track never leaves a file behind.
#pragma once

#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "rip/byte_sink.h"

namespace lumbra {

class OutputFile : public ByteSink {
public:
    // Creates or truncates `path` ("wb"); isOpen() tells whether that worked.
    explicit OutputFile(std::string path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Deletes the file unless keep() or close() succeeded.
    ~OutputFile() override;

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    // False once any write failed (a full disk, the file-size limit); later writes are skipped.
    bool write(std::span<const uint8_t> bytes) override;
    bool rewrite(uint64_t offset, std::span<const uint8_t> bytes) override;
    const std::string& filePath() const override { return path_; }
    bool failed() const { return failed_; }

    // Flushes and closes; true when every byte reached the file. The file stays on disk either
    // way when `keepFile` is set.
    bool close(bool keepFile = true);
    // Closes and deletes the file.
    void discard();

private:
    std::string path_;
    std::unique_ptr<char[]> buffer_;  // outlives file_, which is closed before it goes
    std::FILE* file_ = nullptr;
    bool failed_ = false;
    bool settled_ = false;  // closed for good, or deleted
};

}  // namespace lumbra
