// The ASF file the writer produces: created first, given its one audio stream and header once the
// encoder is set up, then fed packets and closed with its index and durations.
#pragma once

#include <optional>
#include <string>

#include "ffmpeg_owners.h"

namespace lumbra::wma {

class AsfOutput {
public:
    AsfOutput() = default;
    AsfOutput(const AsfOutput&) = delete;
    AsfOutput& operator=(const AsfOutput&) = delete;
    // A file that never got its header is deleted: a refused set-up leaves nothing behind.
    ~AsfOutput();

    // Creates (or truncates) the file; a status code.
    int32_t create(const std::string& path);
    // Sets one of the file's text attributes (`name` as ASF names it) for the header; a status
    // code, refused once the header is written or for a text that is not UTF-16.
    int32_t setText(const char16_t* name, const std::optional<std::string>& text);
    // Whether the codec's packets need its header data up front rather than in each packet.
    bool wantsGlobalHeader() const;
    // Adds the stream the encoder describes and writes the header.
    int32_t begin(const AVCodecContext& encoder);
    // Writes one encoded packet whose times are in the encoder's time base.
    int32_t write(AVPacket& packet, AVRational encoderTimeBase);
    // Writes the trailer and closes the file.
    int32_t close();

private:
    std::string path_;
    OutputContext context_;
    AVStream* stream_ = nullptr;
    bool headerWritten_ = false;
};

}  // namespace lumbra::wma
