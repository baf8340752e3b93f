#include "rip/rip_verification.h"

#include <algorithm>

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
    verification.lookup = fetchAccurateRip(verification.config, verification.disc);
}

}  // namespace lumbra
