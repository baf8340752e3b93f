// An Ogg Vorbis file as a player sees it (libvorbisfile), and the pages it is made of.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lumbra::test {

struct DecodedOgg {
    bool opened = false;
    int channels = 0;
    long sampleRate = 0;
    long lowerBitrate = 0, nominalBitrate = 0, upperBitrate = 0;  // identification header
    std::vector<std::pair<std::string, std::string>> comments;    // in file order
    int64_t declaredFrames = 0;                                   // from the last granule position
    std::vector<float> samples;                                   // decoded, interleaved
};

DecodedOgg decodeOgg(const std::string& path);

// The header flags of the pages of `bytes` in order (1 continued, 2 beginning of stream, 4 end
// of stream); stops at the first byte that does not start a page.
std::vector<uint8_t> oggPageFlags(const std::string& bytes);

}  // namespace lumbra::test
