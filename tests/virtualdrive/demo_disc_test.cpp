// The demo disc must suit the jitter correction, which aligns reads by searching for one
// frame's bytes: no frame may repeat anywhere on the disc, and the tracks must be real sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

#include "cdaccess/cd_frame.h"
#include "plugins/virtualdrive/demo_disc.h"

namespace lumbra::virtualdrive {
namespace {

constexpr size_t kFrame = kFrameBytes;

std::vector<uint8_t> readBytes(const Disc& disc, int64_t offset, size_t size) {
    std::vector<uint8_t> bytes(size);
    EXPECT_TRUE(disc.audio->read(offset, bytes));
    return bytes;
}

TEST(VirtualDemoDisc, TracksAreMusicLongAndNoFrameRepeatsAnywhere) {
    const auto disc = makeDemoDisc();
    ASSERT_GE(disc->tracks.size(), 5u);
    std::set<std::string> seen;
    for (size_t t = 0; t + 1 < disc->tracks.size(); ++t) {
        const uint32_t first = disc->tracks[t].start;
        const uint32_t frames = disc->tracks[t + 1].start - first;
        EXPECT_GE(frames, 10u * 75);
        EXPECT_LE(frames, 40u * 75);
        const auto audio = readBytes(*disc, int64_t(first) * kFrame, frames * kFrame);
        double sum = 0;
        for (size_t i = 0; i + 1 < audio.size(); i += 2) {
            sum += std::pow(int16_t(audio[i] | audio[i + 1] << 8), 2);
        }
        EXPECT_GT(std::sqrt(sum / double(audio.size() / 2)), 1000.0) << "track " << t + 1;
        for (uint32_t f = 0; f < frames; ++f) {
            const std::string frame(audio.begin() + f * kFrame, audio.begin() + (f + 1) * kFrame);
            EXPECT_TRUE(seen.insert(frame).second) << "track " << t + 1 << " repeats frame " << f;
        }
    }
}

TEST(VirtualDemoDisc, ReadsOffTheFrameGridAreTheSameStreamShifted) {
    const auto disc = makeDemoDisc();
    const auto aligned = readBytes(*disc, 1000 * int64_t(kFrame), 2 * kFrame);
    EXPECT_EQ(readBytes(*disc, 1000 * int64_t(kFrame) + 6, kFrame),
              std::vector<uint8_t>(aligned.begin() + 6, aligned.begin() + 6 + kFrame));
    const auto early = readBytes(*disc, -400, kFrame);
    EXPECT_TRUE(std::all_of(early.begin(), early.begin() + 400, [](uint8_t b) { return b == 0; }));
    const auto start = readBytes(*disc, 0, kFrame - 400);
    EXPECT_TRUE(std::equal(start.begin(), start.end(), early.begin() + 400));
}

}  // namespace
}  // namespace lumbra::virtualdrive
