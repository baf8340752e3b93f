#include "cdaccess/track_buffer.h"

namespace lumbra {

TrackBuffer TrackBuffer::forFrames(int frames) {
    TrackBuffer buffer;
    buffer.capacity = frames * kFrameBytes;
    buffer.data.resize(size_t(buffer.capacity));
    return buffer;
}

void TrackBuffer::setRequest(int32_t firstFrame, int32_t frameCount) {
    start = firstFrame;
    count = frameCount;
    offset = 0;
    length = 0;
    status = 0;
}

void TrackBuffer::empty() {
    start = 0;
    count = 0;
    length = 0;
}

bool TrackBuffer::holds(int64_t frames) const {
    const int64_t bytes = frames * kFrameBytes;
    return bytes <= capacity && size_t(capacity) <= data.size();
}

std::span<const uint8_t> TrackBuffer::validData() const {
    return {data.data() + offset, size_t(length)};
}

RipReadBuffers::RipReadBuffers() = default;

RipReadBuffers::RipReadBuffers(const RipReadBuffers& other)
    : a(other.a),
      b(other.b),
      anchor(other.anchor),
      current(other.current == &other.b ? &b : &a),
      toggle(other.toggle),
      correcting(other.correcting),
      framesReRead(other.framesReRead) {}

RipReadBuffers& RipReadBuffers::operator=(const RipReadBuffers& other) {
    a = other.a;
    b = other.b;
    anchor = other.anchor;
    current = other.current == &other.b ? &b : &a;
    toggle = other.toggle;
    correcting = other.correcting;
    framesReRead = other.framesReRead;
    return *this;
}

}  // namespace lumbra
