// One MP3 stream through the encoder library the rip job loaded: its entry points resolved by
// name, the stream closed when the encoder goes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/shared_library.h"
#include "rip/lame_entry_points.h"

namespace lumbra {

class LameStream {
public:
    // The library must hold all six entry points (the rip job checked them when it loaded it).
    explicit LameStream(platform::SharedLibrary& library);
    LameStream(const LameStream&) = delete;
    LameStream& operator=(const LameStream&) = delete;
    ~LameStream();

    // Asks the library's version, opens a stream and its output buffer. False when the library
    // refuses the record or the buffer cannot be had.
    bool open(const LameStreamConfig& config);
    // How many 16-bit samples one encode() takes at most.
    size_t samplesPerChunk() const { return samplesPerChunk_; }

    // The bytes the encoder made of `samples` (16-bit, at most samplesPerChunk()), valid until
    // the next call; nothing when it failed.
    std::optional<std::span<const uint8_t>> encode(std::span<const uint8_t> samples);
    // The stream's last bytes.
    std::optional<std::span<const uint8_t>> finish();
    // Closes the stream, if one is open.
    void close();
    // Completes the header of the finished, closed file at `path`.
    void writeVbrHeader(const std::string& path);

private:
    std::optional<std::span<const uint8_t>> produced(int32_t result, uint32_t bytes) const;

    LameInitStreamFn initStream_;
    LameEncodeChunkFn encodeChunk_;
    LameDeinitStreamFn deinitStream_;
    LameCloseStreamFn closeStream_;
    LameVersionFn version_;
    LameWriteVbrHeaderFn writeVbrHeader_;
    std::optional<LameStreamHandle> stream_;
    size_t samplesPerChunk_ = 0;
    std::vector<uint8_t> output_;
};

}  // namespace lumbra
