#include "cdaccess/rip_reads.h"

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/overlapped_read.h"

namespace lumbra {
namespace {

constexpr int kAttempts = 3;

template <typename Read>
int withRetries(RipReadBuffers& buffers, TrackBuffer& target, int count, int start, Read read) {
    int result = kResultFailed;
    for (int attempt = 0; attempt < kAttempts && result != kResultDone; ++attempt) {
        if (attempt > 0) buffers.framesReRead += count;
        target.setRequest(start, count);  // an attempt that failed may have moved it
        result = read(target);
    }
    return result;
}

int readCorrectingAfterFailure(int handle, RipReadBuffers& buffers, int count, int start) {
    TrackBuffer& target = buffers.toggle ? buffers.a : buffers.b;
    buffers.toggle = !buffers.toggle;
    buffers.current = &target;
    if (!buffers.correcting) {
        target.setRequest(start, count);
        if (readAudioFrames(handle, target) == kResultDone) {
            followPlainRead(handle, target, buffers.anchor);
            return kResultDone;
        }
        buffers.framesReRead += count;
    }
    // An aligned read reads on past its request to absorb the jitter, so the drive stops beyond
    // the frame the next read begins at: that read starts with a seek and would land wherever
    // the jitter puts it. From the first correction on, the track is read corrected.
    buffers.correcting = true;
    return withRetries(buffers, target, count, start, [&](TrackBuffer& b) {
        return readAlignedFrames(handle, b, buffers.anchor);
    });
}

}  // namespace

int readForRip(int handle, RipReadBuffers& buffers, int count, int start, int32_t jitterMode) {
    switch (jitterMode) {
        case kJitterNever:
            return withRetries(buffers, *buffers.current, count, start,
                               [&](TrackBuffer& b) { return readAudioFrames(handle, b); });
        case kJitterAlways:
            return withRetries(buffers, *buffers.current, count, start, [&](TrackBuffer& b) {
                return readAlignedFrames(handle, b, buffers.anchor);
            });
        default:
            return readCorrectingAfterFailure(handle, buffers, count, start);
    }
}

}  // namespace lumbra
