// The jitter alignment on one rip read (26 frames) of music-like sound whose reference frame
// lies near the end: the search as shipped against a comparison of a whole frame at every byte.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <random>

#include "cdaccess/jitter_alignment.h"

namespace lumbra {
namespace {

constexpr int kReadFrames = 26;

struct Scene {
    TrackBuffer buffer = TrackBuffer::forFrames(kReadFrames);
    TrackBuffer reference = TrackBuffer::forFrames(1);
    TrackBufferHeader header;
    int32_t matchAt = 0;

    Scene() {
        std::mt19937 random(1);
        std::normal_distribution<double> hiss(0.0, 40.0);
        for (size_t i = 0; i < buffer.data.size() / 2; ++i) {
            const double t = double(i / 2) / 44100.0;
            const auto sample =
                int16_t(6000.0 * std::sin(2 * std::numbers::pi * 440.0 * t) + hiss(random));
            std::memcpy(buffer.data.data() + 2 * i, &sample, 2);
        }
        buffer.start = 10000;
        buffer.count = kReadFrames;
        buffer.length = kReadFrames * kFrameBytes;
        matchAt = buffer.length - 2 * kFrameBytes + 700;
        std::memcpy(reference.data.data(), buffer.data.data() + matchAt, kFrameBytes);
        reference.start = 10025;
        reference.count = 1;
        reference.length = kFrameBytes;
        header = buffer;
    }
};

int32_t bytewiseSearch(const TrackBuffer& buffer, const TrackBuffer& reference) {
    for (int32_t p = 0; p < buffer.length - kFrameBytes; ++p) {
        if (std::memcmp(buffer.data.data() + p, reference.data.data(), kFrameBytes) == 0) return p;
    }
    return -1;
}

void fastAlignment(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        static_cast<TrackBufferHeader&>(scene.buffer) = scene.header;
        benchmark::DoNotOptimize(alignToReference(scene.buffer, scene.reference, 1));
    }
    if (scene.buffer.offset != scene.matchAt + kFrameBytes)
        state.SkipWithError("found the wrong copy");
    state.SetBytesProcessed(int64_t(state.iterations()) * scene.header.length);
}
BENCHMARK(fastAlignment);

void bytewiseAlignment(benchmark::State& state) {
    Scene scene;
    int32_t at = -1;
    for (auto _ : state)
        benchmark::DoNotOptimize(at = bytewiseSearch(scene.buffer, scene.reference));
    if (at != scene.matchAt) state.SkipWithError("found the wrong copy");
    state.SetBytesProcessed(int64_t(state.iterations()) * scene.header.length);
}
BENCHMARK(bytewiseAlignment);

}  // namespace
}  // namespace lumbra
