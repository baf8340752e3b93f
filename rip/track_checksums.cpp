#include "rip/track_checksums.h"

#include <zlib.h>

#include <algorithm>

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

constexpr int64_t kEdgeSamples = 5 * int64_t(kSamplesPerFrame);
constexpr size_t kSampleBytes = 4;
static_assert(kSampleBytes == size_t(kCdSampleBytes));

// A stereo sample as the database reads it: the left channel in the low half, little-endian.
uint32_t sampleAt(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

}  // namespace

TrackChecksums::TrackChecksums(uint32_t samples, bool firstAudioTrack, bool lastAudioTrack)
    : crc_(uint32_t(crc32(0, nullptr, 0))) {
    // Sample k (from 1) is weighted by k; the first track starts counting at the sample that
    // ends its fifth frame, the last stops five frames before its end.
    const int64_t from = firstAudioTrack ? kEdgeSamples : 1;
    const int64_t to = lastAudioTrack ? int64_t(samples) - kEdgeSamples : int64_t(samples);
    from_ = uint32_t(from);
    to_ = uint32_t(std::max<int64_t>(to, 0));
}

void TrackChecksums::add(std::span<const uint8_t> cdAudio) {
    if (cdAudio.empty()) return;
    crc_ = uint32_t(crc32(crc_, cdAudio.data(), uInt(cdAudio.size())));
    while (pendingBytes_ > 0 && !cdAudio.empty()) {
        pending_[pendingBytes_++] = cdAudio.front();
        cdAudio = cdAudio.subspan(1);
        if (pendingBytes_ < kSampleBytes) continue;
        addSamples(pending_, 1);
        pendingBytes_ = 0;
    }
    const size_t whole = cdAudio.size() / kSampleBytes;
    addSamples(cdAudio.data(), whole);
    for (const uint8_t byte : cdAudio.subspan(whole * kSampleBytes)) {
        pending_[pendingBytes_++] = byte;
    }
}

// Kept free of branches inside the loop, so that the compiler multiplies several samples at
// once: the checksums must cost next to nothing beside the reading.
void TrackChecksums::addSamples(const uint8_t* bytes, size_t count) {
    const int64_t position = position_;
    const int64_t begin = std::max<int64_t>(from_ - position, 0);
    const int64_t end = std::min<int64_t>(int64_t(to_) + 1 - position, int64_t(count));
    uint32_t low = 0;
    uint32_t high = 0;
    for (int64_t i = begin; i < end; ++i) {
        const uint64_t product =
            uint64_t(sampleAt(bytes + i * kSampleBytes)) * uint64_t(uint32_t(position + i));
        low += uint32_t(product);
        high += uint32_t(product >> 32);
    }
    v1_ += low;
    v2High_ += high;
    position_ += uint32_t(count);
}

TrackChecksumValues TrackChecksums::values() const {
    return {v1_, v1_ + v2High_, crc_};
}

}  // namespace lumbra
