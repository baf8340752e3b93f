// Decoded copies of CD audio measured against their source: samples as floats in [-1, 1],
// channel-interleaved, and the signal-to-noise ratio at the shift that lines the two up best.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lumbra::test {

// CD bytes (16-bit little-endian) as samples.
inline std::vector<float> cdSamples(const std::vector<uint8_t>& bytes) {
    std::vector<float> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        int16_t sample;
        std::memcpy(&sample, bytes.data() + 2 * i, 2);
        samples[i] = sample / 32768.0f;
    }
    return samples;
}

// The channels averaged.
inline std::vector<float> monoOf(const std::vector<float>& samples, int channels) {
    std::vector<float> mono(samples.size() / size_t(channels));
    for (size_t i = 0; i < samples.size(); ++i)
        mono[i / size_t(channels)] += samples[i] / float(channels);
    return mono;
}

struct Alignment {
    int channels = 1;
    int minShift = 0, maxShift = 0;  // in sample frames the decoded audio may run later
    size_t probeFrames = 4096;       // the stretch from the middle the shift is found on
    // A lossy codec replaces the source's hiss with hiss of its own; averaging over a few frames
    // keeps the music and most of the hiss out of the comparison.
    size_t smoothing = 1;
};

struct AlignedMatch {
    double snrDb;
    int shiftFrames;
};

// The ratio over the overlap of `source` and `decoded` at the best shift; the shift is found on
// a stretch from the middle, where a codec has settled, then the whole overlap is measured.
inline AlignedMatch alignedSnr(std::vector<float> source, std::vector<float> decoded, Alignment a) {
    const auto ch = ptrdiff_t(a.channels), width = ptrdiff_t(a.smoothing);
    for (auto* samples : {&source, &decoded}) {
        auto& s = *samples;
        for (ptrdiff_t i = 0; width > 1 && i + (width - 1) * ch < ptrdiff_t(s.size()); ++i) {
            for (ptrdiff_t k = 1; k < width; ++k) s[size_t(i)] += s[size_t(i + k * ch)];
            s[size_t(i)] /= float(width);
        }
        s.resize(s.size() - std::min(s.size(), size_t((width - 1) * ch)));
    }
    // {signal, noise} over source samples [first, last) with the decoded ones `shift` frames later.
    const auto sums = [&](int shift, ptrdiff_t first, ptrdiff_t last) {
        double signal = 0, noise = 0;
        for (ptrdiff_t i = std::max(first, -shift * ch);
             i < last && i + shift * ch < ptrdiff_t(decoded.size()); ++i) {
            const double s = source[size_t(i)], error = decoded[size_t(i + shift * ch)] - s;
            signal += s * s, noise += error * error;
        }
        return std::pair(signal, noise);
    };
    const auto frames = ptrdiff_t(source.size()) / ch, probe = ptrdiff_t(a.probeFrames);
    const ptrdiff_t first = std::max<ptrdiff_t>(0, frames / 2 - probe / 2) * ch;
    const ptrdiff_t last = std::min(frames * ch, first + probe * ch);
    int best = 0;
    double leastError = 1e300;
    for (int shift = a.minShift; shift <= a.maxShift; ++shift) {
        if (first + shift * ch < 0 || last + shift * ch > ptrdiff_t(decoded.size())) continue;
        const double error = sums(shift, first, last).second;
        if (error < leastError) leastError = error, best = shift;
    }
    const auto [signal, noise] = sums(best, 0, ptrdiff_t(source.size()));
    // Noise below the floor counts as the floor, so that an exact copy gives a number too.
    return {10 * std::log10(signal / std::max(noise, 1e-12)), best};
}

// The ratio of a lossy copy's channels averaged against the CD audio's, past an encoder delay
// of up to 8192 samples.
inline double monoSnrDb(const std::vector<float>& decoded, int channels,
                        const std::vector<uint8_t>& cd) {
    return alignedSnr(monoOf(cdSamples(cd), 2), monoOf(decoded, channels),
                      {.maxShift = 8192, .probeFrames = 8192, .smoothing = 16})
        .snrDb;
}

}  // namespace lumbra::test
