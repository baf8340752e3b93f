#include "rip/sliding_v1.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

constexpr int64_t kEdgeSamples = 5 * int64_t(kSamplesPerFrame);
constexpr int64_t kSampleBytes = 4;

// A stereo sample as the database reads it: the left channel in the low half, little-endian.
uint32_t sampleAt(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

struct WindowSums {
    uint32_t weighted = 0;
    uint32_t plain = 0;
};

// The weighted and plain sums of `count` samples, the first weighted by `weight`. Every sample of
// the track passes through here, so on little-endian machines four are taken at once in vector
// registers (GCC's and clang's vector extensions): the search must cost little beside the read.
WindowSums windowSums(const uint8_t* bytes, int64_t count, uint32_t weight) {
    WindowSums sums;
    int64_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        using Lanes = uint32_t __attribute__((vector_size(16)));
        constexpr int64_t kLanes = 4;
        Lanes weights = {weight, weight + 1, weight + 2, weight + 3};
        Lanes weighted{};
        Lanes plain{};
        for (; i + kLanes <= count; i += kLanes) {
            Lanes samples;
            std::memcpy(&samples, bytes + i * kSampleBytes, sizeof samples);
            weighted += weights * samples;
            plain += samples;
            weights += uint32_t(kLanes);
        }
        for (int64_t lane = 0; lane < kLanes; ++lane) {
            sums.weighted += weighted[lane];
            sums.plain += plain[lane];
        }
    }
    for (; i < count; ++i) {
        const uint32_t sample = sampleAt(bytes + i * kSampleBytes);
        sums.weighted += (weight + uint32_t(i)) * sample;
        sums.plain += sample;
    }
    return sums;
}

}  // namespace

SlidingV1::SlidingV1(uint32_t samples, bool firstAudio, bool lastAudio, int32_t margin)
    : from_(firstAudio ? kEdgeSamples : 1),
      to_(lastAudio ? int64_t(samples) - kEdgeSamples : int64_t(samples)),
      leaving_(size_t(2 * int64_t(margin))),
      entering_(size_t(2 * int64_t(margin))) {}

void SlidingV1::add(std::span<const uint8_t> bytes) {
    const int64_t base = next_;
    const int64_t count = int64_t(bytes.size()) / kSampleBytes;
    const uint8_t* data = bytes.data();
    keep(leaving_, from_, data, base, count);
    keep(entering_, to_ + 1, data, base, count);
    const int64_t begin = std::max(from_, base);
    const int64_t end = std::min(to_ + 1, base + count);
    if (begin < end) {
        const WindowSums sums =
            windowSums(data + (begin - base) * kSampleBytes, end - begin, uint32_t(begin));
        weighted_ += sums.weighted;
        plain_ += sums.plain;
    }
    next_ += count;
}

void SlidingV1::keep(std::vector<uint32_t>& kept, int64_t first, const uint8_t* bytes, int64_t base,
                     int64_t count) {
    const int64_t begin = std::max(first, base);
    const int64_t end = std::min(first + int64_t(kept.size()), base + count);
    for (int64_t n = begin; n < end; ++n) {
        kept[size_t(n - first)] = sampleAt(bytes + (n - base) * kSampleBytes);
    }
}

std::vector<uint32_t> SlidingV1::sums() const {
    const int64_t steps = int64_t(leaving_.size());
    std::vector<uint32_t> sums(size_t(steps + 1));
    if (to_ < from_ || next_ - 1 < to_ + steps) return sums;
    uint32_t weighted = weighted_;
    uint32_t plain = plain_;
    // Moving one sample on drops the window's first sample, weighted by from_, and takes the
    // next one in at weight to_; every sample in between loses one weight, the plain sum.
    for (int64_t step = 0;; ++step) {
        sums[size_t(step)] = weighted;
        if (step == steps) break;
        const uint32_t leaving = leaving_[size_t(step)];
        const uint32_t entering = entering_[size_t(step)];
        weighted += uint32_t(to_) * entering - uint32_t(from_ - 1) * leaving - plain;
        plain += entering - leaving;
    }
    return sums;
}

}  // namespace lumbra
