#include "rip/temporary_pcm.h"

#include <filesystem>

namespace lumbra {

TemporaryPcm::TemporaryPcm(std::string path)
    : path_(std::move(path)), file_(std::fopen(path_.c_str(), "rb")) {}

uint64_t TemporaryPcm::size() const {
    std::error_code error;
    const uintmax_t bytes = std::filesystem::file_size(path_, error);
    return error ? 0 : uint64_t(bytes);
}

size_t TemporaryPcm::read(std::span<uint8_t> chunk) {
    return std::fread(chunk.data(), 1, chunk.size(), file_.get());
}

bool TemporaryPcm::readFailed() const {
    return std::ferror(file_.get()) != 0;
}

}  // namespace lumbra
