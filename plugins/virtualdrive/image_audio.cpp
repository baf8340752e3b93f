#include "plugins/virtualdrive/image_audio.h"

#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace lumbra::virtualdrive {
namespace {

// The end of the file before the bytes wanted fails too: the file is shorter than the disc it
// holds, and audio that is not there must not read as silence.
bool readFully(int fd, int64_t offset, std::span<uint8_t> out) {
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = pread(fd, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

ImageAudio::ImageAudio(std::vector<platform::UniqueFd> files, std::vector<AudioExtent> extents)
    : files_(std::move(files)), extents_(std::move(extents)) {}

bool ImageAudio::read(int64_t offset, std::span<uint8_t> out) const {
    std::fill(out.begin(), out.end(), uint8_t(0));
    const int64_t end = offset + int64_t(out.size());
    for (const AudioExtent& extent : extents_) {
        const int64_t from = std::max(offset, extent.discOffset);
        const int64_t to = std::min(end, extent.discOffset + extent.length);
        if (from >= to) continue;
        const auto part = out.subspan(size_t(from - offset), size_t(to - from));
        if (!readFully(files_[extent.file].get(), extent.fileOffset + (from - extent.discOffset),
                       part)) {
            return false;
        }
    }
    return true;
}

}  // namespace lumbra::virtualdrive
