// EBU R128 loudness of CD audio, measured from the samples as they are read, and the ReplayGain
// values it gives.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace lumbra {

// ReplayGain 2.0 plays everything at -18 LUFS; Opus' R128 gains aim at -23 LUFS.
inline constexpr double kReplayGainReference = -18.0;
inline constexpr double kOpusReference = -23.0;

struct GainAndPeak {
    double gain = 0.0;  // dB to add to reach the reference
    double peak = 0.0;  // the largest sample, 1.0 at full scale
};

class LoudnessMeter {
public:
    LoudnessMeter();
    LoudnessMeter(const LoudnessMeter&) = delete;
    LoudnessMeter& operator=(const LoudnessMeter&) = delete;
    ~LoudnessMeter();

    // 16-bit little-endian stereo at 44,100 Hz, any number of whole frames of four bytes.
    void add(std::span<const uint8_t> cdAudio);

    // The track's gain and sample peak. Silence, whose loudness is not defined, gets 0 dB.
    GainAndPeak trackGain(double reference = kReplayGainReference) const;
    // The album's: loudness over all the meters' audio at once, the largest peak.
    static GainAndPeak albumGain(std::span<const LoudnessMeter* const> tracks,
                                 double reference = kReplayGainReference);

private:
    struct State;  // libebur128's, kept out of this header
    std::unique_ptr<State> state_;
};

}  // namespace lumbra
