#include "rip/output_file.h"

#include <unistd.h>
#include <csignal>

namespace lumbra {
namespace {

// Writers hand over a read's worth of audio at a time (about 60 KB): with stdio's page-sized
// buffer each of those became two system calls; with this one, a system call moves sixteen.
constexpr size_t kWriteBufferBytes = size_t(1) << 20;

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    // A file-size limit must fail the write, not kill the program.
    std::signal(SIGXFSZ, SIG_IGN);
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_) return;
    buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kWriteBufferBytes);
}

OutputFile::~OutputFile() {
    if (!settled_) discard();
}

bool OutputFile::write(std::span<const uint8_t> bytes) {
    if (!file_ || failed_) return false;
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
    }
    return !failed_;
}

bool OutputFile::rewrite(uint64_t offset, std::span<const uint8_t> bytes) {
    if (!file_ || failed_) return false;
    if (std::fseek(file_, long(offset), SEEK_SET) != 0) failed_ = true;
    write(bytes);
    if (!failed_ && std::fseek(file_, 0, SEEK_END) != 0) failed_ = true;
    return !failed_;
}

bool OutputFile::close(bool keepFile) {
    if (file_) {
        if (std::fflush(file_) != 0) failed_ = true;
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
    }
    settled_ = keepFile;
    if (!settled_) unlink(path_.c_str());
    return !failed_;
}

void OutputFile::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!path_.empty()) unlink(path_.c_str());
    settled_ = true;  // nothing left to delete
}

}  // namespace lumbra
