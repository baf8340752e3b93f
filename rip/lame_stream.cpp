#include "rip/lame_stream.h"

#include <new>

namespace lumbra {

LameStream::LameStream(platform::SharedLibrary& library)
    : initStream_(library.function<LameInitStreamFn>("beInitStream")),
      encodeChunk_(library.function<LameEncodeChunkFn>("beEncodeChunk")),
      deinitStream_(library.function<LameDeinitStreamFn>("beDeinitStream")),
      closeStream_(library.function<LameCloseStreamFn>("beCloseStream")),
      version_(library.function<LameVersionFn>("beVersion")),
      writeVbrHeader_(library.function<LameWriteVbrHeaderFn>("beWriteVBRHeader")) {}

LameStream::~LameStream() {
    close();
}

bool LameStream::open(const LameStreamConfig& config) {
    LameVersion version{};
    version_(&version);
    uint32_t samplesPerChunk = 0;
    uint32_t outputBytes = 0;
    LameStreamHandle stream = 0;
    if (initStream_(&config, &samplesPerChunk, &outputBytes, &stream) != kLameOk) return false;
    stream_ = stream;
    samplesPerChunk_ = samplesPerChunk;
    try {
        output_.resize(outputBytes);
    } catch (const std::bad_alloc&) {
        return false;
    }
    return samplesPerChunk_ > 0;
}

std::optional<std::span<const uint8_t>> LameStream::encode(std::span<const uint8_t> samples) {
    if (!stream_) return std::nullopt;
    uint32_t bytes = 0;
    // The library copies the samples before it reads them as 16-bit values.
    const auto* data = reinterpret_cast<const int16_t*>(samples.data());
    const int32_t result =
        encodeChunk_(*stream_, uint32_t(samples.size() / 2), data, output_.data(), &bytes);
    return produced(result, bytes);
}

std::optional<std::span<const uint8_t>> LameStream::finish() {
    if (!stream_) return std::nullopt;
    uint32_t bytes = 0;
    const int32_t result = deinitStream_(*stream_, output_.data(), &bytes);
    return produced(result, bytes);
}

void LameStream::close() {
    if (stream_) closeStream_(*stream_);
    stream_.reset();
}

void LameStream::writeVbrHeader(const std::string& path) {
    writeVbrHeader_(path.c_str());
}

std::optional<std::span<const uint8_t>> LameStream::produced(int32_t result, uint32_t bytes) const {
    if (result != kLameOk || bytes > output_.size()) return std::nullopt;
    return std::span<const uint8_t>(output_.data(), bytes);
}

}  // namespace lumbra
