#include "metadata/accuraterip_verdict.h"

#include <algorithm>

namespace lumbra {

AccurateRipLookup lookupFromReply(std::vector<AccurateRipPressing> pressings,
                                  const AccurateRipDiscId& disc) {
    std::erase_if(pressings, [&disc](const AccurateRipPressing& p) { return !(p.id == disc); });
    AccurateRipLookup lookup;
    lookup.outcome = pressings.empty() ? AccurateRipLookup::Outcome::Unavailable
                                       : AccurateRipLookup::Outcome::Found;
    lookup.pressings = std::move(pressings);
    return lookup;
}

AccurateRipVerdict verdictFor(const AccurateRipLookup& lookup, int audioTrack, uint32_t v1,
                              uint32_t v2) {
    switch (lookup.outcome) {
        case AccurateRipLookup::Outcome::NotInDatabase:
            return {AccurateRipResult::NotInDatabase};
        case AccurateRipLookup::Outcome::Unavailable:
            return {AccurateRipResult::Unavailable};
        case AccurateRipLookup::Outcome::Found:
            break;
    }
    AccurateRipVerdict verdict{AccurateRipResult::Mismatch};
    for (const AccurateRipPressing& pressing : lookup.pressings) {
        if (audioTrack < 1 || size_t(audioTrack) > pressing.tracks.size()) continue;
        const AccurateRipTrack& track = pressing.tracks[size_t(audioTrack - 1)];
        if (track.confidence <= verdict.confidence) continue;
        if (track.checksum != v1 && track.checksum != v2) continue;
        verdict = {AccurateRipResult::Accurate, track.confidence, track.checksum != v1};
    }
    return verdict;
}

}  // namespace lumbra
