// The audio stream of a disc image: stretches of the disc backed by byte ranges of open files,
// read on demand; everything else (gaps, data tracks) reads as zeros.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/unique_fd.h"
#include "plugins/virtualdrive/disc.h"

namespace lumbra::virtualdrive {

struct AudioExtent {
    int64_t discOffset = 0;  // byte offset in the disc's audio stream
    int64_t length = 0;      // bytes
    size_t file = 0;         // index into the image's files
    int64_t fileOffset = 0;  // where the bytes start in that file
};

class ImageAudio final : public AudioSource {
public:
    ImageAudio(std::vector<platform::UniqueFd> files, std::vector<AudioExtent> extents);

    // False when a file ends before the bytes it should hold (it was cut short before or after
    // loading): the drive reports a medium error, as for a scratch.
    bool read(int64_t offset, std::span<uint8_t> out) const override;

private:
    std::vector<platform::UniqueFd> files_;
    std::vector<AudioExtent> extents_;
};

}  // namespace lumbra::virtualdrive
