// The fast alignment search against a plain byte-by-byte search over every position, on random
// audio and on data built to trip up a search that looks at prefixes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "cdaccess/jitter_alignment.h"

namespace lumbra {
namespace {

struct Outcome {
    bool found;
    int32_t start, count, length, offset;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << "found " << o.found << " start " << o.start << " count " << o.count << " length "
               << o.length << " offset " << o.offset;
}

// Every position p < length - size in turn, comparing size bytes at each.
Outcome bytewiseAlignment(const TrackBuffer& buffer, const TrackBuffer& reference, int compare) {
    Outcome o{true, buffer.start, buffer.count, buffer.length, buffer.offset};
    const auto ref = reference.validData();
    if (!std::all_of(ref.begin(), ref.end(), [](uint8_t b) { return b == 0; })) {
        const int32_t size = compare * kFrameBytes;
        o.found = false;
        for (int32_t p = 0; p < buffer.length - size; ++p) {
            if (std::memcmp(buffer.data.data() + p, ref.data(), size_t(size)) == 0) {
                o = {true, reference.start + compare, 0, buffer.length - p - size, p + size};
                break;
            }
        }
    }
    o.count = o.length / kFrameBytes;
    o.length = o.count * kFrameBytes;
    return o;
}

Outcome fastAlignment(TrackBuffer buffer, TrackBuffer reference, int compare) {
    const bool found = alignToReference(buffer, reference, compare);
    return {found, buffer.start, buffer.count, buffer.length, buffer.offset};
}

class AlignToReference : public ::testing::Test {
protected:
    TrackBuffer buffer = TrackBuffer::forFrames(32);
    TrackBuffer reference = TrackBuffer::forFrames(4);

    void setBuffer(int32_t frames, int32_t extraBytes = 0) {
        buffer.start = 1000;
        buffer.count = frames;
        buffer.length = frames * kFrameBytes + extraBytes;
    }
    // The reference's compare frames are the buffer's bytes from `at`.
    void takeReferenceFrom(int32_t at, int compare) {
        std::memcpy(reference.data.data(), buffer.data.data() + at, size_t(compare) * kFrameBytes);
        reference.start = 1002;
        reference.count = compare;
        reference.length = compare * kFrameBytes;
    }
    void expectSameAsBytewise(int compare, const std::string& what) {
        EXPECT_EQ(fastAlignment(buffer, reference, compare),
                  bytewiseAlignment(buffer, reference, compare))
            << what;
    }
};

TEST_F(AlignToReference, FindsTheFirstCopyInRandomAudioWhereverItIs) {
    std::mt19937 random{7};
    for (auto& b : buffer.data) b = uint8_t(random());
    for (int32_t frames : {32, 29}) {
        setBuffer(frames);
        for (int compare : {1, 2}) {
            const int32_t last = (frames - compare) * kFrameBytes - 1;
            for (int32_t at :
                 {0, 1, 2 * kFrameBytes - 12, 4 * kFrameBytes + 3, last - 1, last, last + 1}) {
                takeReferenceFrom(at, compare);
                expectSameAsBytewise(compare, "planted at " + std::to_string(at));
            }
            reference.data[size_t(compare * kFrameBytes - 1)] ^= 0xFF;
            expectSameAsBytewise(compare, "all but the last byte");
        }
    }
}

TEST_F(AlignToReference, AgreesOnRepeatingAndNearlyRepeatingData) {
    const std::vector<std::vector<uint8_t>> periods{
        {0x01}, {0x00, 0x80}, {1, 2, 3, 4}, {9, 9, 9, 9, 9, 9, 9, 7}};
    setBuffer(32);
    // The last reachable copy; one byte of it set apart makes it the only copy.
    const int32_t last = 31 * kFrameBytes - 1;
    uint8_t& apart = buffer.data[size_t(last + kFrameBytes - 1)];
    for (const auto& period : periods) {
        const std::string what = "period " + std::to_string(period.size());
        for (size_t i = 0; i < buffer.data.size(); ++i) buffer.data[i] = period[i % period.size()];
        takeReferenceFrom(3 * kFrameBytes + 1, 1);
        expectSameAsBytewise(1, what);
        const uint8_t kept = apart;
        apart = 0xEE;
        takeReferenceFrom(last, 1);
        expectSameAsBytewise(1, "only a copy at the last position, " + what);
        EXPECT_TRUE(fastAlignment(buffer, reference, 1).found);
        apart = kept;
        expectSameAsBytewise(1, "prefixes everywhere, no copy, " + what);
        EXPECT_FALSE(fastAlignment(buffer, reference, 1).found);
    }
}

TEST_F(AlignToReference, KeepsTheBufferForSilenceAndRefusesAShortReference) {
    std::fill(buffer.data.begin(), buffer.data.end(), uint8_t(0x33));
    setBuffer(26, 100);  // cut to whole frames all the same
    const Outcome unchanged{true, 1000, 26, 26 * kFrameBytes, 0};
    reference.length = 0;
    EXPECT_EQ(fastAlignment(buffer, reference, 1), unchanged);
    takeReferenceFrom(0, 1);
    std::fill(reference.data.begin(), reference.data.end(), uint8_t(0));
    EXPECT_EQ(fastAlignment(buffer, reference, 1), unchanged);
    takeReferenceFrom(kFrameBytes, 1);
    EXPECT_FALSE(fastAlignment(buffer, reference, 2).found)
        << "compare frames beyond the reference";
    EXPECT_FALSE(fastAlignment(buffer, reference, 0).found);
}

}  // namespace
}  // namespace lumbra
