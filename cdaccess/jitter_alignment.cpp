#include "cdaccess/jitter_alignment.h"

#include <algorithm>
#include <cstring>

namespace lumbra {
namespace {

constexpr size_t kPrefixBytes = 8;

// The first position p < haystack size - needle size where the needle starts, or -1. Candidates
// come from memchr on the needle's first byte, and most are turned down by a short prefix, so
// the whole needle is compared almost only where it matches.
ptrdiff_t findFirstCopy(std::span<const uint8_t> haystack, std::span<const uint8_t> needle) {
    if (needle.empty() || haystack.size() <= needle.size()) return -1;
    const size_t prefix = std::min(needle.size(), kPrefixBytes);
    const uint8_t* at = haystack.data();
    const uint8_t* const end = haystack.data() + (haystack.size() - needle.size());
    while (at < end) {
        at = static_cast<const uint8_t*>(std::memchr(at, needle[0], size_t(end - at)));
        if (!at) return -1;
        if (std::memcmp(at, needle.data(), prefix) == 0 &&
            std::memcmp(at + prefix, needle.data() + prefix, needle.size() - prefix) == 0) {
            return at - haystack.data();
        }
        ++at;
    }
    return -1;
}

bool isSilentFrame(std::span<const uint8_t> from) {
    const auto frame = from.first(kFrameBytes);
    return std::all_of(frame.begin(), frame.end(), [](uint8_t b) { return b == 0; });
}

}  // namespace

bool isDigitalSilence(const TrackBuffer& buffer) {
    const auto data = buffer.validData();
    return std::all_of(data.begin(), data.end(), [](uint8_t b) { return b == 0; });
}

void keepTail(const TrackBuffer& buffer, TrackBuffer& reference, int compare) {
    const int32_t tailBytes = compare * kFrameBytes;
    if (compare < 1 || buffer.count < compare || buffer.length < tailBytes ||
        !reference.holds(compare)) {
        reference.empty();
        return;
    }
    const auto data = buffer.validData();
    std::copy(data.end() - tailBytes, data.end(), reference.data.begin());
    reference.start = buffer.start + buffer.count - compare;
    reference.count = compare;
    reference.length = tailBytes;
    reference.offset = 0;
}

AlignmentAnchor anchorAfter(const AlignmentAnchor& before, const TrackBuffer& delivered,
                            int compare) {
    AlignmentAnchor after;
    after.end = delivered.start + delivered.count;
    const auto data = delivered.validData();
    int32_t audible = delivered.count;  // frames up to and including the last audible one
    while (audible > 0 && isSilentFrame(data.subspan(size_t(audible - 1) * kFrameBytes))) --audible;
    if (audible == 0) {
        if (before.end == delivered.start) after.frames = before.frames;
        return after;
    }
    if (compare < 1 || audible < compare) return after;
    after.frames = TrackBuffer::forFrames(compare);
    const auto first = data.begin() + ptrdiff_t(audible - compare) * kFrameBytes;
    std::copy(first, first + ptrdiff_t(compare) * kFrameBytes, after.frames.data.begin());
    after.frames.start = delivered.start + audible - compare;
    after.frames.count = compare;
    after.frames.length = compare * kFrameBytes;
    return after;
}

bool alignAfterAnchor(TrackBuffer& piece, const AlignmentAnchor& anchor, int compare,
                      int32_t wanted) {
    const int32_t size = compare * kFrameBytes;
    const int64_t silence = int64_t(wanted - anchor.frames.start - compare) * kFrameBytes;
    if (compare < 1 || anchor.frames.length < size || silence < 0) return false;
    const auto data = piece.validData();
    const ptrdiff_t at = findFirstCopy(data, anchor.frames.validData().first(size_t(size)));
    if (at < 0) return false;
    const auto after = data.subspan(size_t(at + size));
    const auto between = after.first(size_t(std::min<int64_t>(silence, int64_t(after.size()))));
    if (!std::all_of(between.begin(), between.end(), [](uint8_t b) { return b == 0; })) {
        return false;
    }
    const auto skipped = int32_t(at + size + int64_t(between.size()));
    piece.offset += skipped;
    piece.length -= skipped;
    piece.start = wanted;
    piece.count = piece.length / kFrameBytes;
    piece.length = piece.count * kFrameBytes;
    return true;
}

bool alignToReference(TrackBuffer& buffer, TrackBuffer& reference, int compare) {
    bool found = true;
    if (!isDigitalSilence(reference)) {
        const int32_t size = compare * kFrameBytes;
        const ptrdiff_t at =
            compare < 1 || reference.length < size
                ? -1
                : findFirstCopy(buffer.validData(), reference.validData().first(size_t(size)));
        found = at >= 0;
        if (found) {
            buffer.offset += int32_t(at) + size;
            buffer.length -= int32_t(at) + size;
            buffer.start = reference.start + compare;
        }
    }
    buffer.count = buffer.length / kFrameBytes;
    buffer.length = buffer.count * kFrameBytes;
    return found;
}

}  // namespace lumbra
