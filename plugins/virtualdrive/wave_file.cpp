#include "plugins/virtualdrive/wave_file.h"

#include <unistd.h>
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace lumbra::virtualdrive {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// A file of a few chunks is normal; this many means a damaged or hostile header.
constexpr int kMaxChunks = 4096;
constexpr uint32_t kOpenLength = 0xFFFFFFFF;

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t le32(const uint8_t* p) {
    return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16;
}

template <size_t N>
bool readAt(int fd, int64_t offset, std::array<uint8_t, N>& out) {
    return pread(fd, out.data(), N, off_t(offset)) == ssize_t(N);
}

std::optional<std::string> checkFormat(int fd, int64_t offset, uint32_t size) {
    std::array<uint8_t, 26> fmt{};
    const size_t wanted = std::min<size_t>(size, fmt.size());
    if (size < 16 || pread(fd, fmt.data(), wanted, off_t(offset)) != ssize_t(wanted)) {
        return "its format chunk is damaged";
    }
    const uint16_t tag = le16(&fmt[0]);
    // WAVE_FORMAT_EXTENSIBLE carries the real format in the first bytes of its sub-format GUID.
    const bool pcm = tag == kFormatPcm ||
                     (tag == kFormatExtensible && size >= 26 && le16(&fmt[24]) == kFormatPcm);
    if (!pcm || le16(&fmt[2]) != 2 || le32(&fmt[4]) != 44100 || le16(&fmt[14]) != 16) {
        return "it is not 16-bit stereo 44,100 Hz PCM";
    }
    return std::nullopt;
}

}  // namespace

std::variant<WaveData, std::string> findWaveData(int fd, int64_t fileSize) {
    std::array<uint8_t, 12> riff{};
    if (!readAt(fd, 0, riff) || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
        std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        return std::string("it is not a RIFF WAVE file");
    }
    bool formatSeen = false;
    int64_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks && at + 8 <= fileSize; ++chunk) {
        std::array<uint8_t, 8> header{};
        if (!readAt(fd, at, header)) break;
        const uint32_t size = le32(&header[4]);
        const int64_t body = at + 8;
        if (std::memcmp(header.data(), "fmt ", 4) == 0) {
            if (auto problem = checkFormat(fd, body, size)) return *problem;
            formatSeen = true;
        } else if (std::memcmp(header.data(), "data", 4) == 0) {
            if (!formatSeen) return std::string("its data chunk comes before its format chunk");
            const bool open = size == 0 || size == kOpenLength;
            return WaveData{body, open ? fileSize - body : int64_t(size)};
        }
        at = body + size + (size & 1);
    }
    return std::string("it has no data chunk");
}

}  // namespace lumbra::virtualdrive
