#include "rip/rip_verification.h"

#include <algorithm>
#include <chrono>

namespace lumbra {

RipVerification verificationOfDisc(const TocBuffer& toc) {
    RipVerification verification;
    verification.disc = accurateRipDiscId(toc);
    const int tracks = std::clamp(toc.lastTrack - toc.firstTrack + 1, 0, kMaxTocDescriptors - 1);
    int audio = 0;
    for (int i = 0; i < tracks; ++i) {
        const bool data = toc.descriptors[i].adrControl & kDataTrackControl;
        verification.audioNumbers.push_back(data ? 0 : ++audio);
    }
    return verification;
}

void lookUpOnce(RipVerification& verification) {
    if (!verification.lookupEnabled || verification.lookup) return;
    AccurateRipLookup lookup = fetchAccurateRip(verification.config, verification.disc);
    // An exchange cut short by a stop says nothing of the database: the disc's next rip asks.
    const platform::ManualResetEvent* stop = verification.config.stop;
    if (stop && stop->wait(std::chrono::milliseconds(0))) return;
    verification.lookup = std::move(lookup);
}

}  // namespace lumbra
