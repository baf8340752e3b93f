// The K-weighting that loudness is measured through: a high shelf for the head's acoustic effect,
// then a high pass for how little the ear hears at the bottom, as two biquads per channel at the
// CD's rate.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>

#include "cdaccess/cd_frame.h"

namespace lumbra {

struct Biquad {
    double b0, b1, b2, a1, a2;  // a0 normalised to 1
};

// The analogue prototypes' corner, gain and Q, brought to the sample rate by the bilinear
// transform.
inline Biquad kWeightingShelf(double sampleRate) {
    constexpr double kCorner = 1681.974450955533;
    constexpr double kGainDb = 3.999843853973347;
    constexpr double kQ = 0.7071752369554196;
    const double k = std::tan(std::numbers::pi * kCorner / sampleRate);
    const double vh = std::pow(10.0, kGainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / kQ + k * k;
    return {(vh + vb * k / kQ + k * k) / a0, 2.0 * (k * k - vh) / a0,
            (vh - vb * k / kQ + k * k) / a0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kQ + k * k) / a0};
}

inline Biquad kWeightingHighPass(double sampleRate) {
    constexpr double kCorner = 38.13547087602444;
    constexpr double kQ = 0.5003270373238773;
    const double k = std::tan(std::numbers::pi * kCorner / sampleRate);
    const double a0 = 1.0 + k / kQ + k * k;
    return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / kQ + k * k) / a0};
}

// Filters CD audio and sums the squares of what comes out. Runs on the reader thread for every
// sample of a rip, so both channels go through the filters side by side in one vector register and
// the state stays in locals.
class KWeighting {
public:
    // The sum over both channels of the squared weighted samples of `frames` stereo frames of
    // 16-bit little-endian audio, full scale 1.0. The largest sample magnitude goes into `peak`.
    double weightedEnergy(const uint8_t* bytes, size_t frames, double& peak) {
        constexpr double kScale = 1.0 / 32768.0;
        const Biquad s = shelf_, h = highPass_;
        Stereo s1 = s1_, s2 = s2_, h1 = h1_, h2 = h2_;
        Stereo energy = {0.0, 0.0};
        double largest = peak;
        for (size_t i = 0; i < frames; ++i, bytes += kCdSampleBytes) {
            const Stereo x = Stereo{double(sampleAt(bytes)), double(sampleAt(bytes + 2))} * kScale;
            largest = std::max({largest, std::abs(x[0]), std::abs(x[1])});
            const Stereo shelved = s.b0 * x + s1;
            s1 = (s.b1 * x + s2) - s.a1 * shelved;
            s2 = s.b2 * x - s.a2 * shelved;
            const Stereo y = h.b0 * shelved + h1;
            h1 = (h.b1 * shelved + h2) - h.a1 * y;
            h2 = h.b2 * shelved - h.a2 * y;
            energy += y * y;
        }
        s1_ = flushed(s1), s2_ = flushed(s2), h1_ = flushed(h1), h2_ = flushed(h2);
        peak = largest;
        return energy[0] + energy[1];
    }

private:
    using Stereo = double __attribute__((vector_size(16)));  // left, right

    static int16_t sampleAt(const uint8_t* bytes) { return int16_t(bytes[0] | bytes[1] << 8); }

    // After a signal the state decays towards zero through subnormal numbers, which cost the
    // processor a hundred times more; at this size it is far below anything the gates let in.
    static Stereo flushed(Stereo v) {
        const auto flush = [](double x) { return std::abs(x) < 1e-30 ? 0.0 : x; };
        return Stereo{flush(v[0]), flush(v[1])};
    }

    Biquad shelf_ = kWeightingShelf(kCdSampleRate);
    Biquad highPass_ = kWeightingHighPass(kCdSampleRate);
    Stereo s1_ = {}, s2_ = {}, h1_ = {}, h2_ = {};  // transposed direct form II state of each stage
};

}  // namespace lumbra
