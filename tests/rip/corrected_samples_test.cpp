// The plan of a corrected read over tables of contents with data tracks, and the samples it makes
// of frames delivered in reads of any size.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "cdaccess/read_offset.h"
#include "rip/corrected_samples.h"

namespace lumbra {
namespace {

struct Track {
    int start;
    bool data;
};

TocBuffer lbaToc(const std::vector<Track>& tracks, int leadOut) {
    TocBuffer toc{};
    toc.firstTrack = 1;
    toc.lastTrack = uint8_t(tracks.size());
    for (size_t i = 0; i <= tracks.size(); ++i) {
        const int start = i < tracks.size() ? tracks[i].start : leadOut;
        TocDescriptor& d = toc.descriptors[i];
        d.trackNumber = uint8_t(i < tracks.size() ? i + 1 : kLeadOutTrack);
        d.adrControl = i < tracks.size() && tracks[i].data ? kDataTrackControl : 0;
        d.address[1] = uint8_t(start >> 16);
        d.address[2] = uint8_t(start >> 8);
        d.address[3] = uint8_t(start);
    }
    return toc;
}

TEST(ReadOffsetPlan, BorrowsFromAudioNeighboursOnlyAndSilencesTheRest) {
    // Mixed mode: a data track first. Enhanced CD: the last audio track ends before the session
    // gap.
    const auto mixed = audioExtents(lbaToc({{0, true}, {9000, false}, {20000, false}}, 30000));
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0].first, 9000);
    EXPECT_EQ(mixed[0].end, 30000);
    const auto enhanced = audioExtents(lbaToc({{0, false}, {5000, false}, {30000, true}}, 40000));
    ASSERT_EQ(enhanced.size(), 1u);
    EXPECT_EQ(enhanced[0].end, 30000 - 11400);

    const ReadOffsetCorrection late{-700, mixed};
    const CorrectedReadPlan second = planCorrectedRead(9000, 11000, late);
    EXPECT_EQ(second.silenceBefore, 700) << "nothing is taken from the data track";
    EXPECT_EQ(second.firstFrame, 9000);
    EXPECT_EQ(second.samples + second.silenceBefore, 11000 * 588);
    const CorrectedReadPlan third = planCorrectedRead(20000, 10000, late);
    EXPECT_EQ(third.silenceBefore, 0) << "the track before lends its last samples";
    EXPECT_EQ(third.firstFrame, 19998);
    EXPECT_EQ(third.skip, 2 * 588 - 700);
    EXPECT_EQ(third.frames, 10000 + 1);
    EXPECT_EQ(third.silenceAfter, 0);

    const CorrectedReadPlan early = planCorrectedRead(5000, 13600, {1776, enhanced});
    EXPECT_EQ(early.silenceAfter, 1776) << "nothing is read in the session gap";
    EXPECT_EQ(early.firstFrame, 5003);
    EXPECT_EQ(early.skip, 1776 - 3 * 588);

    const CorrectedReadPlan tiny = planCorrectedRead(0, 2, {-3000, {{0, 100}}});
    EXPECT_EQ(tiny.silenceBefore, 2 * 588) << "a track wholly beyond the disc is silence";
    EXPECT_EQ(tiny.frames, 0);
    EXPECT_EQ(tiny.silenceAfter, 0);
}

TEST(CorrectedSamples, HandsOnExactlyTheTracksSamplesWhateverTheReadSizes) {
    const CorrectedReadPlan plan = planCorrectedRead(10, 3, {667, {}});
    ASSERT_EQ(plan.frames, 4);
    std::vector<uint8_t> disc(size_t(plan.frames) * 2352);
    std::iota(disc.begin(), disc.end(), uint8_t(0));
    for (size_t piece : {size_t(2352), size_t(1000), size_t(7)}) {
        std::vector<uint8_t> got;
        CorrectedSamples out(plan, [&](std::span<const uint8_t> bytes) {
            got.insert(got.end(), bytes.begin(), bytes.end());
            return true;
        });
        ASSERT_TRUE(out.silence(plan.silenceBefore));
        for (size_t at = 0; at < disc.size(); at += piece) {
            ASSERT_TRUE(out.frames(std::span(disc).subspan(at, std::min(piece, disc.size() - at))));
        }
        ASSERT_TRUE(out.silence(5));
        const size_t skip = size_t(plan.skip) * 4;
        std::vector<uint8_t> want(disc.begin() + ptrdiff_t(skip),
                                  disc.begin() + ptrdiff_t(skip + 3 * 2352));
        want.resize(want.size() + 20, 0);
        EXPECT_EQ(got, want) << "reads of " << piece << " bytes";
    }
    bool refused = false;
    CorrectedSamples refusing(plan,
                              [&](std::span<const uint8_t>) { return refused = true, false; });
    EXPECT_FALSE(refusing.silence(1));
    EXPECT_TRUE(refused);
}

}  // namespace
}  // namespace lumbra
