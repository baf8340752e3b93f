#include "plugins/lame_enc/stream_registry.h"

namespace lumbra::lame_plugin {
namespace {

// Streams whose files never ask for their header (a stopped track) are forgotten after these.
constexpr size_t kFinishedStreamsKept = 8;

}  // namespace

StreamRegistry& StreamRegistry::instance() {
    static StreamRegistry registry;
    return registry;
}

LameStreamHandle StreamRegistry::add(std::unique_ptr<EncoderStream> stream) {
    std::lock_guard lock(mutex_);
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || streams_.contains(lastHandle_));
    streams_.emplace(lastHandle_, std::move(stream));
    return lastHandle_;
}

std::shared_ptr<EncoderStream> StreamRegistry::find(LameStreamHandle handle) const {
    std::lock_guard lock(mutex_);
    const auto found = streams_.find(handle);
    return found == streams_.end() ? nullptr : found->second;
}

bool StreamRegistry::remove(LameStreamHandle handle) {
    std::shared_ptr<EncoderStream> closing;  // destroyed after the lock is released
    std::lock_guard lock(mutex_);
    const auto found = streams_.find(handle);
    if (found == streams_.end()) return false;
    closing = std::move(found->second);
    streams_.erase(found);
    return true;
}

void StreamRegistry::keepHeaderFrame(std::vector<uint8_t> frame, uint64_t streamBytes) {
    std::lock_guard lock(mutex_);
    if (finished_.size() == kFinishedStreamsKept) finished_.pop_front();
    finished_.push_back({std::move(frame), streamBytes});
}

std::optional<std::vector<uint8_t>> StreamRegistry::takeHeaderFrame(uint64_t streamBytes) {
    std::lock_guard lock(mutex_);
    for (auto it = finished_.rbegin(); it != finished_.rend(); ++it) {
        if (it->streamBytes != streamBytes) continue;
        std::vector<uint8_t> frame = std::move(it->frame);
        finished_.erase(std::next(it).base());
        return frame;
    }
    return std::nullopt;
}

}  // namespace lumbra::lame_plugin
