#include <algorithm>
#include <cstring>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/jitter_alignment.h"
#include "cdaccess/last_error.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

// How far an aligned read reaches beyond the frames it is after. In front it starts early by
// the overlap (never by less than the reference it looks for). Behind it reads as many frames
// again, for a drive that lands early and so ends early by the same amount.
struct Reach {
    int32_t compare;
    int32_t front;
    int32_t behind;

    explicit Reach(const DriveSlot& slot)
        : compare(slot.compareFrames),
          front(std::max(slot.overlapFrames, slot.compareFrames)),
          behind(std::max(slot.overlapFrames, 0)) {}
    int32_t growth() const { return std::max(front, 0) + behind; }
};

// True when `reference` holds audible frames that end just where `start` begins.
bool anchors(const TrackBuffer& reference, int32_t start, int32_t compare) {
    return compare > 0 && reference.count > 0 && reference.length >= compare * kFrameBytes &&
           reference.start + compare == start && !isDigitalSilence(reference);
}

// Reads the piece's request, aligned to `anchor` when that ends where the piece begins. On 1 the
// valid data begins at the requested start; it may run past the request, or stop short of it
// when the drive landed early.
int readPiece(int handle, TrackBuffer& piece, TrackBuffer& anchor, const Reach& reach) {
    if (!anchors(anchor, piece.start, reach.compare)) return readAudioFrames(handle, piece);
    const int32_t start = piece.start;
    const int32_t count = piece.count;
    const int32_t front = std::min(reach.front, start);
    piece.setRequest(start - front, front + count + reach.behind);
    int result = readAudioFrames(handle, piece);
    if (result != kResultDone && reach.behind > 0) {
        // The frames behind may lie past the lead-out or in a data track, where the drive fails
        // the whole read although the request itself can be read.
        piece.setRequest(start - front, front + count);
        result = readAudioFrames(handle, piece);
    }
    if (result != kResultDone) return result;
    if (alignToReference(piece, anchor, reach.compare)) return kResultDone;
    setLastError(kErrorNoJitterMatch);
    return kResultFailed;
}

// Appends at most `limit` frames of the piece to the buffer's valid data, moved to offset 0.
void append(TrackBuffer& buffer, const TrackBuffer& piece, int32_t limit) {
    const int32_t frames = std::min(piece.count, limit);
    std::memmove(buffer.data.data(), buffer.data.data() + buffer.offset, size_t(buffer.length));
    std::memcpy(buffer.data.data() + buffer.length, piece.validData().data(),
                size_t(frames) * kFrameBytes);
    buffer.offset = 0;
    buffer.count += frames;
    buffer.length = buffer.count * kFrameBytes;
}

// Fills the buffer with the whole of its request. A drive that lands early delivers less than
// asked after the alignment; what is missing is read again, aligned to what came before.
int readWholeRequest(int handle, TrackBuffer& buffer, TrackBuffer& reference, const Reach& reach) {
    const int32_t start = buffer.start;
    const int32_t count = buffer.count;
    buffer.setRequest(start, 0);
    TrackBuffer tail = TrackBuffer::forFrames(std::max(reach.compare, 0));
    while (buffer.count < count) {
        const int32_t missing = count - buffer.count;
        TrackBuffer* anchor = &reference;
        if (buffer.count > 0) {
            keepTail(buffer, tail, reach.compare);
            anchor = &tail;
        }
        // The first piece goes straight into the buffer when it has room for the reach.
        const bool direct = buffer.count == 0 && buffer.holds(int64_t(missing) + reach.growth());
        TrackBuffer spare =
            direct ? TrackBuffer() : TrackBuffer::forFrames(missing + reach.growth());
        TrackBuffer& piece = direct ? buffer : spare;
        piece.setRequest(start + buffer.count, missing);
        if (const int result = readPiece(handle, piece, *anchor, reach); result != kResultDone)
            return result;
        if (piece.count == 0) {
            setLastError(kErrorNoJitterMatch);
            return kResultFailed;
        }
        if (direct) {
            buffer.count = std::min(buffer.count, count);
            buffer.length = buffer.count * kFrameBytes;
        } else {
            append(buffer, piece, missing);
        }
    }
    buffer.status = kResultDone;
    return kResultDone;
}

}  // namespace

int readAudioFramesOverlapped(int handle, TrackBuffer& buffer, TrackBuffer& reference) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    if (buffer.count < 0 || !buffer.holds(buffer.count)) {
        setLastError(kErrorBufferTooSmall);
        return kResultFailed;
    }
    const Reach reach(guard.slot());
    const bool usable = reference.holds(reach.compare);
    if (!isDigitalSilence(reference) && !anchors(reference, buffer.start, reach.compare))
        reference.empty();
    if (const int result = readWholeRequest(handle, buffer, reference, reach);
        result != kResultDone) {
        return result;
    }
    if (usable) {
        keepTail(buffer, reference, reach.compare);
    } else {
        reference.empty();
    }
    return kResultDone;
}

}  // namespace lumbra
