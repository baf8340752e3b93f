#include "cdaccess/toc_validation.h"

namespace lumbra {

bool isPlausibleToc(const TocBuffer& toc, bool msf) {
    constexpr int kMaxTrackNumber = 99;
    if (toc.firstTrack < 1 || toc.lastTrack > kMaxTrackNumber || toc.lastTrack < toc.firstTrack) {
        return false;
    }
    const int tracks = toc.lastTrack - toc.firstTrack + 1;
    const int dataLength = toc.dataLength[0] << 8 | toc.dataLength[1];
    if (dataLength < 2 + 8 * (tracks + 1)) return false;
    if (toc.descriptors[tracks].trackNumber != kLeadOutTrack) return false;
    for (int i = 0; i < tracks; ++i) {
        if (descriptorLba(toc.descriptors[i], msf) > descriptorLba(toc.descriptors[i + 1], msf)) {
            return false;
        }
    }
    return descriptorLba(toc.descriptors[0], msf) >= (msf ? -kLeadInFrames : 0);
}

}  // namespace lumbra
