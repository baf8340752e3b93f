// The library's open streams by handle, and the header frames of finished streams waiting for
// their files. Handles are numbers, so a stale or made-up one finds nothing.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "plugins/lame_enc/encoder_stream.h"

namespace lumbra::lame_plugin {

class StreamRegistry {
public:
    static StreamRegistry& instance();

    // A handle not in use and never 0.
    LameStreamHandle add(std::unique_ptr<EncoderStream> stream);
    // The stream, kept alive for the caller even if another thread closes it meanwhile.
    std::shared_ptr<EncoderStream> find(LameStreamHandle handle) const;
    bool remove(LameStreamHandle handle);

    // Keeps a finished stream's header frame until its file asks for it by size.
    void keepHeaderFrame(std::vector<uint8_t> frame, uint64_t streamBytes);
    // The newest kept frame of a stream of exactly `streamBytes` bytes, removed from the list.
    std::optional<std::vector<uint8_t>> takeHeaderFrame(uint64_t streamBytes);

private:
    struct FinishedStream {
        std::vector<uint8_t> frame;
        uint64_t streamBytes;
    };

    mutable std::mutex mutex_;
    std::map<LameStreamHandle, std::shared_ptr<EncoderStream>> streams_;
    LameStreamHandle lastHandle_ = 0;
    std::deque<FinishedStream> finished_;
};

}  // namespace lumbra::lame_plugin
