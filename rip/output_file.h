// A file a writer creates: written through stdio under a hidden part name beside its final path,
// remembering the first write error, and given its final name only when the writer commits it.
// A failed, stopped or killed track therefore never leaves a file that looks finished, and never
// touches a file of that name that was there before, unless it replaces it with a finished one.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/part_file.h"
#include "rip/byte_sink.h"

namespace lumbra {

class OutputFile : public ByteSink {
public:
    // Creates the part file for `path`, after removing the leftovers of killed rips from its
    // folder. isOpen() is false when that fails, and when `path` names a folder or a file this
    // program may not write (a read-only file stays as it is).
    explicit OutputFile(std::string path);
    // Writes `path` itself, an existing file that the caller owns and removes (the temporary
    // file of CD audio): truncated, never renamed or deleted here.
    static OutputFile inPlace(std::string path);
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Deletes the part file unless it was committed.
    ~OutputFile() override;

    bool isOpen() const { return file_ != nullptr; }
    // The final path, as the user knows it.
    const std::string& path() const { return path_; }

    // False once any write failed (a full disk, the file-size limit); later writes are skipped.
    bool write(std::span<const uint8_t> bytes) override;
    bool rewrite(uint64_t offset, std::span<const uint8_t> bytes) override;
    // The file the bytes are in until it is committed, for libraries that write it by name.
    const std::string& filePath() const override;
    bool failed() const { return failed_; }

    // Flushes and closes; true when every byte reached the file.
    bool close();
    // Gives the closed file its final name, replacing what had it; false when that failed.
    bool commit();
    // Closes and deletes the part file.
    void discard();

private:
    struct InPlace {};
    OutputFile(std::string path, InPlace);
    void bufferWrites();

    std::string path_;
    std::optional<platform::PartFile> part_;  // empty when writing in place
    std::unique_ptr<char[]> buffer_;          // outlives file_, which is closed before it goes
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

}  // namespace lumbra
