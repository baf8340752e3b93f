// The meter against libebur128 on signals that exercise the K-weighting at both ends of the band,
// both gates, tracks too short for a block, and reads that end anywhere inside a 100 ms step.
#include <gtest/gtest.h>

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "rip/loudness.h"

namespace lumbra {
namespace {

// Loud, softer and near-silent stretches of tones across the band and noise, so each gate has
// blocks to drop; each track differs in its tones, level and length.
std::vector<uint8_t> testTrack(int seed, double seconds) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 0.05);
    const auto frames = size_t(seconds * 44100);
    std::vector<uint8_t> audio(frames * 4);
    const double tones[] = {25.0 * seed, 200.0, 1700.0, 4000.0, 15000.0 + 400.0 * seed};
    for (size_t i = 0; i < frames; ++i) {
        const double t = double(i) / 44100.0;
        const double levels[] = {0.15, 0.15, 0.03, 0.0005};
        const double level = levels[size_t(t * 2) % std::size(levels)];
        for (int channel = 0; channel < 2; ++channel) {
            double value = noise(random);
            for (double tone : tones) value += std::sin(2 * M_PI * tone * t + channel);
            const auto sample =
                int16_t(std::clamp(level * value * 32768.0 / (1 + seed), -32768.0, 32767.0));
            audio[4 * i + 2 * channel] = uint8_t(sample);
            audio[4 * i + 2 * channel + 1] = uint8_t(uint16_t(sample) >> 8);
        }
    }
    return audio;
}

struct Reference {
    Reference() : state(ebur128_init(2, 44100, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK)) {}
    ~Reference() { ebur128_destroy(&state); }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;

    void add(const std::vector<uint8_t>& audio) {
        std::vector<int16_t> samples(audio.size() / 2);
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = int16_t(uint16_t(audio[2 * i] | audio[2 * i + 1] << 8));
        ebur128_add_frames_short(state, samples.data(), samples.size() / 2);
    }
    double gain() const {
        double loudness = 0.0;
        ebur128_loudness_global(state, &loudness);
        return std::isfinite(loudness) ? -18.0 - loudness : 0.0;
    }

    ebur128_state* state;
};

// The reader hands over sectors, but a re-read or the last sector of a track can end anywhere.
void addInUnevenReads(LoudnessMeter& meter, const std::vector<uint8_t>& audio) {
    const size_t sizes[] = {2352, 4, 2352 * 27, 1000 * 4, 4411 * 4};
    for (size_t at = 0, i = 0; at < audio.size(); ++i) {
        const size_t size = std::min(sizes[i % std::size(sizes)], audio.size() - at);
        meter.add(std::span(audio).subspan(at, size));
        at += size;
    }
}

TEST(LoudnessMeter, TrackAndAlbumGainsMatchLibebur128) {
    const std::vector<std::vector<uint8_t>> album = {
        testTrack(1, 7.3), testTrack(2, 0.3), testTrack(3, 12.05), std::vector<uint8_t>(44100 * 4)};
    std::vector<LoudnessMeter> meters(album.size());
    std::vector<std::unique_ptr<Reference>> references;
    std::vector<ebur128_state*> referenceStates;
    std::vector<const LoudnessMeter*> measured;
    for (size_t i = 0; i < album.size(); ++i) {
        addInUnevenReads(meters[i], album[i]);
        references.push_back(std::make_unique<Reference>());
        references.back()->add(album[i]);
        referenceStates.push_back(references.back()->state);
        measured.push_back(&meters[i]);
        EXPECT_NEAR(meters[i].trackGain().gain, references[i]->gain(), 0.005) << "track " << i;
    }
    EXPECT_EQ(meters[1].trackGain().gain, 0.0) << "under 400 ms: no block, no gain";

    double albumLoudness = 0.0;
    ebur128_loudness_global_multiple(referenceStates.data(), referenceStates.size(),
                                     &albumLoudness);
    EXPECT_NEAR(LoudnessMeter::albumGain(measured).gain, -18.0 - albumLoudness, 0.005);
}

}  // namespace
}  // namespace lumbra
