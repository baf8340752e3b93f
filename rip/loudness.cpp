#include "rip/loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <new>

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

constexpr unsigned kChannels = 2;
constexpr size_t kBytesPerFrame = 4;
// Converting a read's bytes to samples in steps this large keeps the copy on the stack.
constexpr size_t kFramesPerStep = 4096;

GainAndPeak gainOf(double loudness, double peak, double reference) {
    return {std::isfinite(loudness) ? reference - loudness : 0.0, peak};
}

double samplePeak(ebur128_state* state) {
    double peak = 0.0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        double channelPeak = 0.0;
        if (ebur128_sample_peak(state, channel, &channelPeak) == EBUR128_SUCCESS)
            peak = std::max(peak, channelPeak);
    }
    return peak;
}

}  // namespace

struct LoudnessMeter::State {
    State()
        : handle(
              ebur128_init(kChannels, kCdSampleRate, EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK)) {
        if (!handle) throw std::bad_alloc();
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { ebur128_destroy(&handle); }

    ebur128_state* handle;
};

LoudnessMeter::LoudnessMeter() : state_(std::make_unique<State>()) {}

LoudnessMeter::~LoudnessMeter() = default;

void LoudnessMeter::add(std::span<const uint8_t> cdAudio) {
    int16_t samples[kFramesPerStep * kChannels];
    while (cdAudio.size() >= kBytesPerFrame) {
        const size_t frames = std::min(cdAudio.size() / kBytesPerFrame, kFramesPerStep);
        for (size_t i = 0; i < frames * kChannels; ++i)
            samples[i] = int16_t(uint16_t(cdAudio[2 * i] | cdAudio[2 * i + 1] << 8));
        ebur128_add_frames_short(state_->handle, samples, frames);
        cdAudio = cdAudio.subspan(frames * kBytesPerFrame);
    }
}

GainAndPeak LoudnessMeter::trackGain(double reference) const {
    double loudness = -HUGE_VAL;
    ebur128_loudness_global(state_->handle, &loudness);
    return gainOf(loudness, samplePeak(state_->handle), reference);
}

GainAndPeak LoudnessMeter::albumGain(std::span<const LoudnessMeter* const> tracks,
                                     double reference) {
    std::vector<ebur128_state*> states;
    double peak = 0.0;
    for (const LoudnessMeter* track : tracks) {
        states.push_back(track->state_->handle);
        peak = std::max(peak, samplePeak(track->state_->handle));
    }
    double loudness = -HUGE_VAL;
    if (!states.empty()) ebur128_loudness_global_multiple(states.data(), states.size(), &loudness);
    return gainOf(loudness, peak, reference);
}

}  // namespace lumbra
