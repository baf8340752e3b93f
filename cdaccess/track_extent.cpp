#include "cdaccess/track_extent.h"

namespace lumbra {

int32_t trackEndLba(const TocBuffer& toc, int position) {
    const int count = toc.lastTrack - toc.firstTrack + 1;
    const TocDescriptor& track = toc.descriptors[position];
    const TocDescriptor& next = toc.descriptors[position + 1];
    const int32_t nextStart = descriptorLba(next, false);
    // A disc with nothing but a data track after the audio is taken for an Enhanced CD: that is
    // how such discs are made, and a drive's plain table of contents does not show sessions.
    const bool lastAudioBeforeData =
        position == count - 2 && !isDataTrack(track) && isDataTrack(next);
    if (lastAudioBeforeData && nextStart - kSessionGapFrames > descriptorLba(track, false)) {
        return nextStart - kSessionGapFrames;
    }
    return nextStart;
}

}  // namespace lumbra
