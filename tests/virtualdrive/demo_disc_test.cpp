// The demo disc must suit the jitter correction, which aligns reads by searching for one
// frame's bytes: no frame may repeat inside a track, and the tracks must be real, varied sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "plugins/virtualdrive/demo_disc.h"

namespace lumbra::virtualdrive {
namespace {

constexpr size_t kFrame = 2352;

std::vector<uint8_t> readFrames(const Disc& disc, uint32_t first, uint32_t count) {
    std::vector<uint8_t> bytes(count * kFrame);
    EXPECT_TRUE(disc.audio->read(int64_t(first) * kFrame, bytes));
    return bytes;
}

double rms(const std::vector<uint8_t>& bytes) {
    double sum = 0;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto sample = int16_t(bytes[i] | bytes[i + 1] << 8);
        sum += double(sample) * sample;
    }
    return std::sqrt(sum / double(bytes.size() / 2));
}

TEST(VirtualDemoDisc, AudioTracksAreMusicLongAndNeverRepeatAFrame) {
    const auto disc = makeDemoDisc();
    ASSERT_GE(disc->tracks.size(), 5u);
    EXPECT_TRUE(disc->tracks.back().data);
    for (size_t t = 0; t + 1 < disc->tracks.size(); ++t) {
        ASSERT_FALSE(disc->tracks[t].data);
        const uint32_t first = disc->tracks[t].start;
        const uint32_t frames = disc->tracks[t + 1].start - first;
        EXPECT_GE(frames, 10u * 75);
        EXPECT_LE(frames, 40u * 75);
        const auto audio = readFrames(*disc, first, frames);
        std::set<std::string> seen;
        for (uint32_t f = 0; f < frames; ++f) {
            const std::string frame(audio.begin() + f * kFrame, audio.begin() + (f + 1) * kFrame);
            EXPECT_TRUE(seen.insert(frame).second) << "track " << t + 1 << " repeats frame " << f;
        }
        EXPECT_GT(rms(audio), 1000.0) << "track " << t + 1 << " is nearly silent";
    }
}

TEST(VirtualDemoDisc, TracksDifferAndEveryReadIsRepeatable) {
    const auto disc = makeDemoDisc();
    const auto again = makeDemoDisc();
    std::set<std::vector<uint8_t>> openings;
    for (size_t t = 0; t + 1 < disc->tracks.size(); ++t) {
        const auto opening = readFrames(*disc, disc->tracks[t].start + 75, 75);
        EXPECT_EQ(opening, readFrames(*again, disc->tracks[t].start + 75, 75));
        openings.insert(opening);
    }
    EXPECT_EQ(openings.size(), disc->tracks.size() - 1);

    // A read that starts between samples or before the disc is the same stream, shifted.
    const auto aligned = readFrames(*disc, 1000, 2);
    std::vector<uint8_t> shifted(kFrame);
    ASSERT_TRUE(disc->audio->read(1000 * int64_t(kFrame) + 6, shifted));
    EXPECT_EQ(0, std::memcmp(shifted.data(), aligned.data() + 6, kFrame));
    std::vector<uint8_t> early(kFrame);
    ASSERT_TRUE(disc->audio->read(-400, early));
    EXPECT_TRUE(std::all_of(early.begin(), early.begin() + 400, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(0, std::memcmp(early.data() + 400, readFrames(*disc, 0, 1).data(), kFrame - 400));
}

}  // namespace
}  // namespace lumbra::virtualdrive
