#include "app/settings_record.h"
#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"

namespace lumbra {
namespace {

constexpr int kAttempts = 3;

template <typename Read>
int withRetries(TrackBuffer& target, int count, int start, Read read) {
    int result = kResultFailed;
    for (int attempt = 0; attempt < kAttempts && result != kResultDone; ++attempt) {
        target.setRequest(start, count);  // an attempt that failed may have moved it
        result = read(target);
    }
    return result;
}

// Cuts a read down to its last frame, the reference the next read is aligned to.
void keepLastFrame(TrackBuffer& buffer) {
    if (buffer.count < 1 || buffer.length < buffer.count * kFrameBytes) {
        buffer.empty();
        return;
    }
    buffer.offset += (buffer.count - 1) * kFrameBytes;
    buffer.start += buffer.count - 1;
    buffer.count = 1;
    buffer.length = kFrameBytes;
}

int readCorrectingAfterFailure(int handle, RipReadBuffers& buffers, int count, int start) {
    TrackBuffer& target = buffers.toggle ? buffers.a : buffers.b;
    TrackBuffer& previous = buffers.toggle ? buffers.b : buffers.a;
    buffers.toggle = !buffers.toggle;
    buffers.current = &target;
    int result = kResultFailed;
    if (!buffers.correcting) {
        target.setRequest(start, count);
        result = readAudioFrames(handle, target);
    }
    if (result == kResultDone) return result;
    // An aligned read reads on past its request to absorb the jitter, so the drive stops beyond
    // the frame the next read begins at: that read starts with a seek and would land wherever
    // the jitter puts it. From the first correction on, the track is read corrected.
    buffers.correcting = true;
    keepLastFrame(previous);
    return withRetries(target, count, start, [&](TrackBuffer& b) {
        return readAudioFramesOverlapped(handle, b, previous);
    });
}

}  // namespace

int readForRip(int handle, RipReadBuffers& buffers, int count, int start, int32_t jitterMode) {
    switch (jitterMode) {
        case kJitterNever:
            return withRetries(*buffers.current, count, start,
                               [&](TrackBuffer& b) { return readAudioFrames(handle, b); });
        case kJitterAlways:
            return withRetries(*buffers.current, count, start, [&](TrackBuffer& b) {
                return readAudioFramesOverlapped(handle, b, buffers.overlap);
            });
        default:
            return readCorrectingAfterFailure(handle, buffers, count, start);
    }
}

}  // namespace lumbra
