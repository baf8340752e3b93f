#include "plugins/lame_enc/header_frame.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

namespace lumbra::lame_plugin {
namespace {

constexpr long kId3v2HeaderSize = 10;
constexpr uint8_t kId3v2FooterFlag = 0x10;
constexpr long kId3v1Size = 128;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool readAt(std::FILE* file, long offset, void* bytes, size_t size) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(bytes, 1, size, file) == size;
}

long fileSize(std::FILE* file) {
    return std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
}

// Where the MP3 frames start: after an ID3v2 tag whose size is stored 7 bits per byte.
long audioStart(std::FILE* file) {
    std::array<uint8_t, kId3v2HeaderSize> header{};
    if (!readAt(file, 0, header.data(), header.size()) || std::memcmp(header.data(), "ID3", 3) != 0)
        return 0;
    long size = 0;
    for (size_t i = 6; i < 10; ++i) size = size << 7 | (header[i] & 0x7F);
    return kId3v2HeaderSize + size + ((header[5] & kId3v2FooterFlag) ? kId3v2HeaderSize : 0);
}

// Where the MP3 frames end: before an ID3v1 tag.
long audioEnd(std::FILE* file, long size) {
    char tag[3];
    const bool tagged = size >= kId3v1Size && readAt(file, size - kId3v1Size, tag, sizeof tag) &&
                        std::memcmp(tag, "TAG", 3) == 0;
    return tagged ? size - kId3v1Size : size;
}

bool startsWithFrameSync(std::FILE* file, long offset) {
    uint8_t sync[2];
    return readAt(file, offset, sync, sizeof sync) && sync[0] == 0xFF && (sync[1] & 0xE0) == 0xE0;
}

}  // namespace

LameResult writeHeaderFrame(const char* path, StreamRegistry& registry) {
    if (!path) return kLameBadArgument;
    const File file(std::fopen(path, "r+b"));
    if (!file) return kLameFileError;
    const long size = fileSize(file.get());
    if (size < 0) return kLameFileError;
    const long start = audioStart(file.get());
    const long end = audioEnd(file.get(), size);
    if (end <= start || !startsWithFrameSync(file.get(), start)) return kLameNoHeaderToWrite;
    const auto frame = registry.takeHeaderFrame(uint64_t(end - start));
    if (!frame || frame->empty()) return kLameNoHeaderToWrite;
    const bool written = std::fseek(file.get(), start, SEEK_SET) == 0 &&
                         std::fwrite(frame->data(), 1, frame->size(), file.get()) == frame->size();
    return written && std::fflush(file.get()) == 0 ? kLameOk : kLameFileError;
}

}  // namespace lumbra::lame_plugin
