#include "rip/output_file.h"

#include "platform/file_entries.h"

namespace lumbra {
namespace {

// Writers hand over a read's worth of audio at a time (about 60 KB): with stdio's page-sized
// buffer each of those became two system calls; with this one, a system call moves sixteen.
constexpr size_t kWriteBufferBytes = size_t(1) << 20;

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    const std::string folder = platform::folderOf(path_);
    platform::removeLeftoverParts(folder);
    // What is there may be replaced only where "wb" could have opened it: a folder cannot be, and
    // a file the user made read-only must not be.
    if (!platform::mayReplaceByWriting(path_)) return;
    part_.emplace(folder, "");
    file_ = part_->openWriteStream();
    if (file_) bufferWrites();
}

OutputFile::OutputFile(std::string path, InPlace) : path_(std::move(path)) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (file_) bufferWrites();
}

OutputFile OutputFile::inPlace(std::string path) {
    return OutputFile(std::move(path), InPlace{});
}

void OutputFile::bufferWrites() {
    buffer_ = std::make_unique_for_overwrite<char[]>(kWriteBufferBytes);
    std::setvbuf(file_, buffer_.get(), _IOFBF, kWriteBufferBytes);
}

OutputFile::~OutputFile() {
    discard();
}

const std::string& OutputFile::filePath() const {
    return part_ ? part_->path() : path_;
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

bool OutputFile::close() {
    if (file_) {
        if (std::fflush(file_) != 0) failed_ = true;
        if (std::fclose(file_) != 0) failed_ = true;
        file_ = nullptr;
    }
    return !failed_;
}

bool OutputFile::commit() {
    if (failed_ || !part_) return false;
    return part_->commit(path_);
}

void OutputFile::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (part_) part_->discard();
}

}  // namespace lumbra
