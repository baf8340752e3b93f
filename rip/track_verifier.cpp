#include "rip/track_verifier.h"

#include "cdaccess/cd_frame.h"

namespace lumbra {
namespace {

int audioNumberAt(const RipVerification& verification, size_t position) {
    const auto& numbers = verification.audioNumbers;
    return position < numbers.size() ? numbers[position] : 0;
}

}  // namespace

TrackVerifier::TrackVerifier(const RipVerification& verification, TrackEntry& track,
                             size_t position)
    : verification_(verification),
      track_(track),
      audioNumber_(audioNumberAt(verification, position)),
      checksums_(uint32_t(track.length) * uint32_t(kSamplesPerFrame), audioNumber_ == 1,
                 audioNumber_ > 0 && audioNumber_ == verification.disc.audioTracks) {
    track_.verification = {};
}

void TrackVerifier::complete(int32_t framesReRead, int64_t silentSamples) {
    TrackVerification result;
    result.measured = true;
    result.sums = checksums_.values();
    result.framesReRead = framesReRead;
    result.silentSamples = silentSamples;
    result.testCrc32 = testCrc32_;
    // A data track is not in the database, and without a lookup there is nothing to compare.
    if (audioNumber_ > 0 && verification_.lookup) {
        result.verdict =
            verdictFor(*verification_.lookup, audioNumber_, result.sums.v1, result.sums.v2);
    }
    track_.verification = result;
}

}  // namespace lumbra
