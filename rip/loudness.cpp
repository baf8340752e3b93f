#include "rip/loudness.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

constexpr size_t kQuarterFrames = kCdSampleRate / 10;
constexpr size_t kBlockFrames = 4 * kQuarterFrames;
constexpr double kAbsoluteGateLufs = -70.0;
constexpr double kRelativeGateLu = -10.0;

double lufsOf(double meanSquare) {
    return -0.691 + 10.0 * std::log10(meanSquare);
}

double meanOf(const std::vector<double>& energies) {
    return std::accumulate(energies.begin(), energies.end(), 0.0) / double(energies.size());
}

// Minus infinity when no block passes the gates, as for silence or a track under 400 ms.
double integratedLoudness(const std::vector<double>& blockEnergies) {
    std::vector<double> gated;
    std::copy_if(blockEnergies.begin(), blockEnergies.end(), std::back_inserter(gated),
                 [](double energy) { return lufsOf(energy) > kAbsoluteGateLufs; });
    if (gated.empty()) return -HUGE_VAL;
    const double relativeGate = lufsOf(meanOf(gated)) + kRelativeGateLu;
    std::erase_if(gated, [&](double energy) { return lufsOf(energy) <= relativeGate; });
    return gated.empty() ? -HUGE_VAL : lufsOf(meanOf(gated));
}

GainAndPeak gainOf(double loudness, double peak, double reference) {
    return {std::isfinite(loudness) ? reference - loudness : 0.0, peak};
}

}  // namespace

void LoudnessMeter::add(std::span<const uint8_t> cdAudio) {
    const uint8_t* bytes = cdAudio.data();
    for (size_t frames = cdAudio.size() / kCdSampleBytes; frames > 0;) {
        const size_t step = std::min(frames, kQuarterFrames - quarterFrames_);
        addToQuarterBlock(bytes, step);
        bytes += step * kCdSampleBytes;
        frames -= step;
    }
}

void LoudnessMeter::addToQuarterBlock(const uint8_t* bytes, size_t frames) {
    quarterEnergy_ += weighting_.weightedEnergy(bytes, frames, peak_);
    quarterFrames_ += frames;
    if (quarterFrames_ < kQuarterFrames) return;
    if (++quartersDone_ >= 4) {
        const double blockEnergy =
            std::accumulate(lastQuarters_.begin(), lastQuarters_.end(), quarterEnergy_);
        blockEnergies_.push_back(blockEnergy / double(kBlockFrames));
    }
    std::shift_left(lastQuarters_.begin(), lastQuarters_.end(), 1);
    lastQuarters_.back() = quarterEnergy_;
    quarterEnergy_ = 0.0;
    quarterFrames_ = 0;
}

GainAndPeak LoudnessMeter::trackGain(double reference) const {
    return gainOf(integratedLoudness(blockEnergies_), peak_, reference);
}

GainAndPeak LoudnessMeter::albumGain(std::span<const LoudnessMeter* const> tracks,
                                     double reference) {
    std::vector<double> blockEnergies;
    double peak = 0.0;
    for (const LoudnessMeter* track : tracks) {
        blockEnergies.insert(blockEnergies.end(), track->blockEnergies_.begin(),
                             track->blockEnergies_.end());
        peak = std::max(peak, track->peak_);
    }
    return gainOf(integratedLoudness(blockEnergies), peak, reference);
}

}  // namespace lumbra
