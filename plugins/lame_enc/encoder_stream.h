// One MP3 stream of libmp3lame, from its settings to its last bytes and its header frame.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "rip/lame_entry_points.h"

struct lame_global_struct;

namespace lumbra::lame_plugin {

struct LameCloser {
    void operator()(lame_global_struct* lame) const;
};
using LameHandle = std::unique_ptr<lame_global_struct, LameCloser>;

class EncoderStream {
public:
    // A stream for the record, or null with `result` saying why.
    static std::unique_ptr<EncoderStream> open(const LameStreamConfig& config, LameResult& result);
    // Takes over an initialised encoder whose input has `channels` channels.
    EncoderStream(LameHandle lame, int channels);
    EncoderStream(const EncoderStream&) = delete;
    EncoderStream& operator=(const EncoderStream&) = delete;

    uint32_t samplesPerChunk() const { return samplesPerChunk_; }
    uint32_t outputBytes() const { return outputBytes_; }

    // Encodes up to samplesPerChunk() interleaved samples into `output` (outputBytes() of room).
    LameResult encode(uint32_t sampleCount, const int16_t* samples, uint8_t* output,
                      uint32_t& produced);
    // The stream's last bytes. On success `headerFrame` is the completed header frame, empty
    // when the stream reserved none, and `streamBytes` all bytes the stream produced.
    LameResult finish(uint8_t* output, uint32_t& produced, std::vector<uint8_t>& headerFrame,
                      uint64_t& streamBytes);

private:
    LameHandle lame_;
    int channels_;
    uint32_t samplesPerChunk_;
    uint32_t outputBytes_;
    std::vector<int16_t> samples_;  // libmp3lame takes its input as writable
    uint64_t produced_ = 0;
    bool finished_ = false;
    std::mutex mutex_;
};

}  // namespace lumbra::lame_plugin
