#include "cdaccess/overlapped_read.h"

#include <algorithm>
#include <cstring>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/jitter_alignment.h"
#include "cdaccess/last_error.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

// A piece that comes back without a new frame is read again: near the end of the readable area
// the read cannot reach behind its request, and only a landing that is not early delivers the
// last frame. Each read lands anew, so a few tries almost always find one.
constexpr int kStalledPieceReads = 8;

// How far an aligned read reaches beyond the frames it is after. In front it starts early by
// the overlap (never by less than the anchor it looks for). Behind it reads as many frames
// again, for a drive that lands early and so ends early by the same amount.
struct Reach {
    int32_t compare;
    int32_t front;
    int32_t behind;

    explicit Reach(const DriveSlot& slot)
        : compare(slot.compareFrames),
          front(std::max(slot.overlapFrames, slot.compareFrames)),
          behind(std::max(slot.overlapFrames, 0)) {}
};

// The first frame of an aligned read of [start, start + count), or -1 when the anchor does not
// lead up to `start` or lies too far back for one command.
int32_t alignedReadStart(const AlignmentAnchor& anchor, int32_t start, int32_t count,
                         const Reach& reach) {
    if (reach.compare < 1 || !anchor.known() || anchor.end != start ||
        anchor.frames.count != reach.compare ||
        anchor.frames.length < reach.compare * kFrameBytes) {
        return -1;
    }
    const int32_t from = std::max(anchor.frames.start + reach.compare - reach.front, 0);
    if (int64_t(start) + count + reach.behind - from > kMaxFramesPerCommand) return -1;
    return from;
}

// Reads the piece's request, aligned to the anchor when it leads up to the piece. On 1 the valid
// data begins at the requested start; it may run past the request, or stop short of it when the
// drive landed early.
int readPiece(int handle, TrackBuffer& piece, const AlignmentAnchor& anchor, const Reach& reach) {
    const int32_t start = piece.start;
    const int32_t count = piece.count;
    const int32_t from = alignedReadStart(anchor, start, count, reach);
    if (from < 0) return readAudioFrames(handle, piece);
    piece.setRequest(from, start + count + reach.behind - from);
    int result = readAudioFrames(handle, piece);
    if (result != kResultDone && reach.behind > 0) {
        // The frames behind may lie past the lead-out, in a data track or in the gap before a
        // second session, where the drive fails the whole read although the request can be read.
        piece.setRequest(from, start + count - from);
        result = readAudioFrames(handle, piece);
    }
    if (result != kResultDone) return result;
    if (alignAfterAnchor(piece, anchor, reach.compare, start)) return kResultDone;
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

// Fills the buffer with the whole of its request, each piece aligned to the last audio read
// before it. A drive that lands early delivers less than asked; what is missing is read again.
// The anchor moves on only when the whole request was read.
int readWholeRequest(int handle, TrackBuffer& buffer, AlignmentAnchor& anchor, const Reach& reach) {
    const int32_t start = buffer.start;
    const int32_t count = buffer.count;
    buffer.setRequest(start, 0);
    AlignmentAnchor ahead = anchor;
    TrackBuffer spare;
    for (int stalls = 0; buffer.count < count;) {
        const int32_t missing = count - buffer.count;
        const int32_t pieceStart = start + buffer.count;
        const int32_t from = alignedReadStart(ahead, pieceStart, missing, reach);
        const int32_t frames = from < 0 ? missing : pieceStart + missing + reach.behind - from;
        // The first piece goes straight into the buffer when it has room for the reach.
        const bool direct = buffer.count == 0 && buffer.holds(frames);
        if (!direct && !spare.holds(frames)) spare = TrackBuffer::forFrames(frames);
        TrackBuffer& piece = direct ? buffer : spare;
        piece.setRequest(pieceStart, missing);
        if (const int result = readPiece(handle, piece, ahead, reach); result != kResultDone)
            return result;
        if (piece.count == 0) {
            if (++stalls < kStalledPieceReads) continue;
            setLastError(kErrorNoJitterMatch);
            return kResultFailed;
        }
        if (direct) {
            buffer.count = std::min(buffer.count, count);
            buffer.length = buffer.count * kFrameBytes;
        } else {
            append(buffer, piece, missing);
        }
        ahead = anchorAfter(anchor, buffer, reach.compare);
    }
    anchor = std::move(ahead);
    buffer.status = kResultDone;
    return kResultDone;
}

bool fitsRequest(const TrackBuffer& buffer) {
    if (buffer.count >= 0 && buffer.holds(buffer.count)) return true;
    setLastError(kErrorBufferTooSmall);
    return false;
}

}  // namespace

int readAudioFramesOverlapped(int handle, TrackBuffer& buffer, TrackBuffer& reference) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    if (!fitsRequest(buffer)) return kResultFailed;
    const Reach reach(guard.slot());
    const bool usable = reference.holds(reach.compare);
    AlignmentAnchor anchor;
    anchor.end = buffer.start;
    if (!isDigitalSilence(reference)) {
        if (usable && reference.count == reach.compare &&
            reference.start + reach.compare == buffer.start) {
            anchor.frames = reference;
        } else {
            reference.empty();
        }
    }
    if (const int result = readWholeRequest(handle, buffer, anchor, reach); result != kResultDone)
        return result;
    if (usable) {
        keepTail(buffer, reference, reach.compare);
    } else {
        reference.empty();
    }
    return kResultDone;
}

int readAlignedFrames(int handle, TrackBuffer& buffer, AlignmentAnchor& anchor) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    if (!fitsRequest(buffer)) return kResultFailed;
    return readWholeRequest(handle, buffer, anchor, Reach(guard.slot()));
}

void followPlainRead(int handle, const TrackBuffer& read, AlignmentAnchor& anchor) {
    const DriveSlot* slot = slotOfHandle(handle);
    anchor = anchorAfter(anchor, read, slot ? slot->compareFrames : 0);
}

}  // namespace lumbra
