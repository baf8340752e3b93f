// EBU R128 loudness of CD audio, measured from the samples as they are read, and the ReplayGain
// values it gives.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "rip/k_weighting.h"

namespace lumbra {

// ReplayGain 2.0 plays everything at -18 LUFS; Opus' R128 gains aim at -23 LUFS.
inline constexpr double kReplayGainReference = -18.0;
inline constexpr double kOpusReference = -23.0;

struct GainAndPeak {
    double gain = 0.0;  // dB to add to reach the reference
    double peak = 0.0;  // the largest sample, 1.0 at full scale
};

// Integrated loudness as EBU R128 defines it: the K-weighted energy of 400 ms blocks that start
// every 100 ms, averaged over the blocks above the absolute gate of -70 LUFS and then over those
// less than 10 LU below that average.
class LoudnessMeter {
public:
    // 16-bit little-endian stereo at 44,100 Hz, any number of whole frames of four bytes.
    void add(std::span<const uint8_t> cdAudio);

    // The track's gain and sample peak. Silence, whose loudness is not defined, gets 0 dB.
    GainAndPeak trackGain(double reference = kReplayGainReference) const;
    // The album's: loudness over all the meters' audio at once, the largest peak.
    static GainAndPeak albumGain(std::span<const LoudnessMeter* const> tracks,
                                 double reference = kReplayGainReference);

private:
    void addToQuarterBlock(const uint8_t* bytes, size_t frames);

    KWeighting weighting_;
    double quarterEnergy_ = 0.0;  // of the 100 ms now being read
    size_t quarterFrames_ = 0;
    std::array<double, 3> lastQuarters_{};  // the three before it, newest last
    size_t quartersDone_ = 0;
    std::vector<double> blockEnergies_;  // mean square of each whole 400 ms block, channels summed
    double peak_ = 0.0;                  // largest sample magnitude, 1.0 at full scale
};

}  // namespace lumbra
