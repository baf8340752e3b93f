// The v1 checksum slid over a read with margins against the checksum of each shifted window
// taken directly, fed in pieces that split the kept stretches anywhere.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

#include "cdaccess/cd_frame.h"
#include "rip/sliding_v1.h"
#include "rip/track_checksums.h"

namespace lumbra {
namespace {

constexpr int32_t kMargin = 3000;

std::vector<uint8_t> noise(size_t samples) {
    std::mt19937 random(7);
    std::vector<uint8_t> bytes(samples * 4);
    for (uint8_t& byte : bytes) byte = uint8_t(random());
    return bytes;
}

// The v1 checksum of the track as a drive with `offset` corrected would deliver it.
uint32_t directV1(std::span<const uint8_t> read, uint32_t samples, bool first, bool last,
                  int32_t offset) {
    TrackChecksums sums(samples, first, last);
    sums.add(read.subspan(size_t(kMargin + offset) * 4, size_t(samples) * 4));
    return sums.values().v1;
}

std::vector<uint32_t> slid(std::span<const uint8_t> read, uint32_t samples, bool first, bool last) {
    SlidingV1 slide(samples, first, last, kMargin);
    // Uneven pieces of whole samples: 1, 2, 3 ... samples, then 997 at a time.
    size_t at = 0;
    for (size_t piece = 1; at < read.size(); piece = piece < 40 ? piece + 1 : 997) {
        const size_t bytes = std::min(piece * 4, read.size() - at);
        slide.add(read.subspan(at, bytes));
        at += bytes;
    }
    return slide.sums();
}

TEST(SlidingV1, EveryOffsetMatchesTheShiftedWindowsOwnChecksum) {
    const uint32_t samples = 40 * kSamplesPerFrame;
    const std::vector<uint8_t> read = noise(samples + 2 * kMargin);
    for (const bool first : {false, true}) {
        for (const bool last : {false, true}) {
            const std::vector<uint32_t> sums = slid(read, samples, first, last);
            ASSERT_EQ(sums.size(), size_t(2 * kMargin + 1));
            for (const int32_t offset : {-kMargin, -2941, -1, 0, 1, 667, 2940, kMargin}) {
                EXPECT_EQ(sums[size_t(offset + kMargin)],
                          directV1(read, samples, first, last, offset))
                    << "offset " << offset << " first " << first << " last " << last;
            }
        }
    }
}

// A track shorter than the margins: what leaves and what enters the window overlap.
TEST(SlidingV1, ShortTrackAndShortRead) {
    const uint32_t samples = 1500;
    const std::vector<uint8_t> read = noise(samples + 2 * kMargin);
    const std::vector<uint32_t> sums = slid(read, samples, false, false);
    for (const int32_t offset : {-kMargin, -1234, 0, 2999, kMargin}) {
        EXPECT_EQ(sums[size_t(offset + kMargin)], directV1(read, samples, false, false, offset));
    }
    const std::vector<uint32_t> cut =
        slid(std::span(read).first(read.size() - 4), samples, false, false);
    EXPECT_EQ(cut, std::vector<uint32_t>(cut.size(), 0u)) << "the last window was not read";
}

}  // namespace
}  // namespace lumbra
