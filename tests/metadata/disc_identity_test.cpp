// Disc IDs checked against libdiscid's freedb ID and at the edges of their arithmetic, the local
// disc key and the recent-disc table.
#include <gtest/gtest.h>

#include <discid/discid.h>

#include <memory>
#include <random>
#include <vector>

#include "metadata/disc_id.h"
#include "metadata/recent_disc_table.h"
#include "support/toc_buffer.h"

namespace lumbra {
namespace {

using Track = test::TocTrack;

TocBuffer msfToc(int firstTrack, const std::vector<Track>& tracks, int leadOut) {
    return test::tocOf(tracks, leadOut, true, firstTrack);
}

// The same offsets numbered from track 1.
std::string freedbId(const std::vector<Track>& tracks, int leadOut) {
    std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), discid_free);
    std::vector<int> offsets{leadOut};
    for (const Track& track : tracks) offsets.push_back(track.address);
    offsets.resize(100);
    if (!discid_put(disc.get(), 1, int(tracks.size()), offsets.data())) return "rejected";
    return discid_get_freedb_id(disc.get());
}

std::vector<Track> evenTracks(int count, int first, int step) {
    std::vector<Track> tracks;
    for (int i = 0; i < count; ++i) tracks.push_back({first + i * step});
    return tracks;
}

TEST(DiscId, AgreesWithLibdiscid) {
    struct Case {
        const char* what;
        int firstTrack;
        std::vector<Track> tracks;
        int leadOut;
    };
    std::vector<Case> cases = {
        {"one track", 1, {{150}}, 13510},
        {"99 tracks", 1, evenTracks(99, 150, 3000), 150 + 99 * 3000 + 400},
        {"first track number 3", 3, evenTracks(5, 182, 20011), 182 + 5 * 20011},
        {"data track last", 1, {{150}, {22000}, {41000}, {60000, true}}, 80000},
        {"past sixty minutes", 1, {{150}, {150000}, {290000}, {300000}}, 333000},
        {"lead-out at 79:59:74", 1, evenTracks(12, 150, 29000), 79 * 4500 + 59 * 75 + 74},
        {"hidden first track gap", 1, {{33}, {7000}}, 9000},
        {"frames at 74", 1, {{224}, {1199}, {4574}}, 8999},
    };
    std::mt19937 random(1975);
    for (int r = 0; r < 20; ++r) {
        const int count = 1 + int(random() % 30);
        std::vector<Track> tracks;
        int at = 150 + int(random() % 500);
        for (int i = 0; i < count; ++i, at += 300 + int(random() % 11000)) tracks.push_back({at});
        cases.push_back({"random", 1, tracks, at});
    }
    for (const auto& c : cases) {
        const DiscIdResult result = discIdFromToc(msfToc(c.firstTrack, c.tracks, c.leadOut));
        // libdiscid measures a disc that starts above track 1 from a track 1 it does not have
        // and ends its ID with the last track's number; the ID counts tracks from the first
        // one, so such a disc is compared as the same offsets numbered from 1, with the track
        // count as its low byte.
        const std::string theirs = freedbId(c.tracks, c.leadOut);
        EXPECT_EQ(discIdText(result[0]),
                  theirs.substr(0, 6) + discIdText(uint32_t(c.tracks.size())).substr(6))
            << c.what;
        EXPECT_EQ(result[1], c.tracks.size()) << c.what;
        EXPECT_EQ(result[2], uint32_t(c.tracks[0].address)) << c.what;
        EXPECT_EQ(result[2 + c.tracks.size()], uint32_t(c.leadOut / 75)) << c.what;
    }
}

TEST(DiscId, TakesTheDigitSumsModulo255) {
    // 85 tracks at 39 seconds each: digit sums 12 apiece, 1020 in all, 1020 % 255 == 0.
    std::vector<Track> tracks = evenTracks(85, 39 * 75, 0);
    EXPECT_EQ(discIdFromToc(msfToc(1, tracks, 40 * 75))[0] >> 24, 0u);
    tracks.push_back({10 * 75});  // one more: a digit sum of 1
    EXPECT_EQ(discIdFromToc(msfToc(1, tracks, 40 * 75))[0] >> 24, 1u);
}

TEST(DiscId, GarbageTablesStayInsideTheBuffer) {
    TocBuffer toc{};
    toc.firstTrack = 1;
    toc.lastTrack = 250;
    EXPECT_EQ(discIdFromToc(toc)[1], 99u);
    toc.firstTrack = 9;
    toc.lastTrack = 2;
    EXPECT_EQ(discIdFromToc(toc)[1], 0u);
    EXPECT_EQ(localDiscKeyFromToc(toc), 0u);
}

TEST(LocalDiscKey, SumsThePackedStartsOfAudioTracks) {
    const std::vector<Track> tracks = {{150}, {(4 * 60 + 10) * 75 + 30}, {20000, true}};
    EXPECT_EQ(localDiscKeyFromToc(msfToc(1, tracks, 30000)), 0x200u + 0x40A1Eu);
}

TEST(RecentDiscTable, IsARingOfTwentyFoundFromTheLowestSlot) {
    forgetRecentDiscs();
    const uint32_t values[] = {150, 22000, 300};
    for (uint32_t i = 0; i < 21; ++i) rememberDisc(0x1000 + i, 0xAB000000 + i, 2, values);
    EXPECT_FALSE(findByLocalKey(0x1000)) << "the 21st replaced the first";
    ASSERT_TRUE(findByLocalKey(0x1014));
    EXPECT_EQ(findByDiscId(0xAB000014)->localKey, 0x1014u);
    EXPECT_EQ(findByLocalKey(0x1001)->values[1], 22000u);

    rememberDisc(0x2222, 0xAB000005, 2, values);  // slot 1: the same ID under another key
    EXPECT_EQ(findByDiscId(0xAB000005)->localKey, 0x2222u);
    forgetRecentDiscs();
}

}  // namespace
}  // namespace lumbra
