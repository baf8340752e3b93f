#include "cdaccess/read_offset.h"

#include <algorithm>
#include <limits>

#include "cdaccess/track_extent.h"

namespace lumbra {
namespace {

// The run holding the track's first frame; a track outside every run keeps to itself.
FrameExtent extentOf(int32_t start, int32_t length, const std::vector<FrameExtent>& audio) {
    if (audio.empty()) return {0, std::numeric_limits<int32_t>::max()};
    for (const FrameExtent& extent : audio) {
        if (start >= extent.first && start < extent.end) return extent;
    }
    return {start, start + length};
}

int64_t floorDiv(int64_t value, int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

}  // namespace

std::vector<FrameExtent> audioExtents(const TocBuffer& lbaToc) {
    std::vector<FrameExtent> extents;
    const int count = lbaToc.lastTrack - lbaToc.firstTrack + 1;
    bool inRun = false;
    for (int position = 0; position < count && position + 1 < kMaxTocDescriptors; ++position) {
        const TocDescriptor& track = lbaToc.descriptors[position];
        if (isDataTrack(track)) {
            inRun = false;
            continue;
        }
        if (!inRun) extents.push_back({descriptorLba(track, false), 0});
        extents.back().end = trackEndLba(lbaToc, position);
        inRun = true;
    }
    return extents;
}

CorrectedReadPlan planCorrectedRead(int32_t start, int32_t length,
                                    const ReadOffsetCorrection& correction) {
    const FrameExtent extent = extentOf(start, length, correction.audio);
    const int64_t wantedFirst = int64_t(start) * kSamplesPerFrame + correction.samples;
    const int64_t wantedEnd = wantedFirst + int64_t(length) * kSamplesPerFrame;
    const int64_t first = std::max(wantedFirst, int64_t(extent.first) * kSamplesPerFrame);
    const int64_t end = std::min(wantedEnd, int64_t(extent.end) * kSamplesPerFrame);

    CorrectedReadPlan plan;
    if (end <= first) {
        plan.silenceBefore = wantedEnd - wantedFirst;  // nothing of it on the disc
        return plan;
    }
    plan.silenceBefore = first - wantedFirst;
    plan.samples = end - first;
    plan.silenceAfter = wantedEnd - end;
    plan.firstFrame = int32_t(floorDiv(first, kSamplesPerFrame));
    plan.skip = int32_t(first - int64_t(plan.firstFrame) * kSamplesPerFrame);
    const int64_t lastFrame = floorDiv(end - 1, kSamplesPerFrame);
    plan.frames = int32_t(lastFrame - plan.firstFrame + 1);
    return plan;
}

}  // namespace lumbra
