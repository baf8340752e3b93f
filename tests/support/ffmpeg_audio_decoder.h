// A file's audio stream read back through FFmpeg's demuxers and decoders, as a player hears it
// (a LAME header's encoder delay and padding are taken off), for the tests that check what the
// MP3 and WMA writers produced.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lumbra::test {

struct DecodedAudio {
    bool complete = false;  // the file opened and every packet decoded
    std::string codec;
    int sampleRate = 0;
    int channels = 0;
    int64_t bitRate = 0;
    double containerSeconds = 0;  // the duration the file declares
    std::vector<float> samples;   // interleaved, in [-1, 1]
    // The container's and the stream's metadata, keys in lower case as FFmpeg names them.
    std::map<std::string, std::string> metadata;

    size_t frames() const { return channels ? samples.size() / size_t(channels) : 0; }
    double decodedSeconds() const { return sampleRate ? double(frames()) / sampleRate : 0; }
    // The samples as CD bytes again; exact for audio that was 16-bit to begin with.
    std::vector<uint8_t> cdBytes() const;
};

// The best audio stream of the file. As a player, it plays on past a packet that does not decode.
DecodedAudio decodeAudioFile(const std::string& path);

}  // namespace lumbra::test
