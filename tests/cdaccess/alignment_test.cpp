// The fast alignment search against a plain byte-by-byte search over every position, on random
// audio and on data built to trip up a search that looks at prefixes.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "cdaccess/audio_reads.h"

namespace lumbra {
namespace {

constexpr int kBufferFrames = 32;

struct Outcome {
    bool found;
    int32_t start, count, length, offset;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    return out << (o.found ? "found" : "not found") << " start " << o.start << " count " << o.count
               << " length " << o.length << " offset " << o.offset;
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
    std::mt19937 random{7};
    TrackBuffer buffer = TrackBuffer::forFrames(kBufferFrames);
    TrackBuffer reference = TrackBuffer::forFrames(4);

    void fillRandom(std::span<uint8_t> bytes) {
        for (auto& b : bytes) b = uint8_t(random());
    }
    void setBuffer(int32_t length) {
        buffer.start = 1000;
        buffer.length = length;
        buffer.count = length / kFrameBytes;
    }
    // The reference's compare frames are the buffer's bytes from `at`.
    void takeReferenceFrom(int32_t at, int compare) {
        std::memcpy(reference.data.data(), buffer.data.data() + at, size_t(compare) * kFrameBytes);
        reference.start = 1002;
        reference.count = compare;
        reference.length = compare * kFrameBytes;
    }
    void expectSameAsBytewise(int compare, const std::string& what) {
        const Outcome expected = bytewiseAlignment(buffer, reference, compare);
        EXPECT_EQ(fastAlignment(buffer, reference, compare), expected) << what;
    }
};

TEST_F(AlignToReference, FindsTheFirstCopyInRandomAudioWhereverItIs) {
    fillRandom(buffer.data);
    for (int32_t length : {kBufferFrames * kFrameBytes, 29 * kFrameBytes}) {
        setBuffer(length);
        for (int compare : {1, 2}) {
            const int32_t last = length - compare * kFrameBytes - 1;
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
    for (const auto& period : periods) {
        for (size_t i = 0; i < buffer.data.size(); ++i) buffer.data[i] = period[i % period.size()];
        setBuffer(kBufferFrames * kFrameBytes);
        takeReferenceFrom(3 * kFrameBytes + 1, 1);
        expectSameAsBytewise(1, "period " + std::to_string(period.size()));
        // The pattern everywhere but in one byte, which only the last reachable copy has.
        const int32_t last = kBufferFrames * kFrameBytes - kFrameBytes - 1;
        const uint8_t kept = buffer.data[size_t(last + kFrameBytes - 1)];
        buffer.data[size_t(last + kFrameBytes - 1)] = 0xEE;
        takeReferenceFrom(last, 1);
        expectSameAsBytewise(
            1, "a copy at the last position, period " + std::to_string(period.size()));
        EXPECT_TRUE(fastAlignment(buffer, reference, 1).found);
        buffer.data[size_t(last + kFrameBytes - 1)] = kept;
        expectSameAsBytewise(
            1, "prefixes everywhere, no copy, period " + std::to_string(period.size()));
        EXPECT_FALSE(fastAlignment(buffer, reference, 1).found);
    }
}

TEST_F(AlignToReference, KeepsTheBufferForSilenceAndRefusesAShortReference) {
    fillRandom(buffer.data);
    setBuffer(26 * kFrameBytes + 100);  // cut to whole frames all the same
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
