// CD audio into an MP3 file: the samples converted to the format the encoder is told, handed over
// in the blocks the encoder takes, and what it returns written to the file.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/shared_library.h"
#include "rip/lame_encoder.h"
#include "rip/output_file.h"
#include "rip/sample_conversion.h"

namespace lumbra {

class Mp3Encoding {
public:
    enum class Step { Done, Stopped, EncoderFailed, WriteFailed };

    Mp3Encoding(platform::SharedLibrary& library, OutputFile& file);

    // Opens the encoder stream for the record; false when the encoder or the sample conversion
    // cannot be set up.
    bool start(const LameStreamConfig& config);
    // The CD audio bytes that make one encoder chunk.
    size_t chunkBytes() const { return encoder_.samplesPerChunk() * 2; }

    // Encodes CD audio (44,100 Hz 16-bit stereo) block by block. `keepGoing` is asked after each
    // block; when it says no, the step ends Stopped.
    Step encode(std::span<const uint8_t> cdAudio, const std::function<bool()>& keepGoing);
    // The conversion's tail and the encoder's last bytes.
    Step finish();
    // Closes the encoder stream; the file can then be closed and completed.
    void closeStream() { encoder_.close(); }
    void writeVbrHeader(const std::string& path) { encoder_.writeVbrHeader(path); }

private:
    Step encodeBlocks(std::span<const uint8_t> samples, const std::function<bool()>& keepGoing);

    LameEncoder encoder_;
    std::optional<SampleConverter> converter_;
    OutputFile& file_;
};

}  // namespace lumbra
