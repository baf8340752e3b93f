// The AccurateRip disc fingerprint of published tables of contents, where data tracks make it
// differ from the CDDB lookup, and the address of its reply on the server.
#include <gtest/gtest.h>

#include <vector>

#include "metadata/accuraterip_id.h"
#include "support/toc_buffer.h"

namespace lumbra {
namespace {

using Track = test::TocTrack;

TocBuffer lbaToc(const std::vector<Track>& tracks, int leadOut) {
    return test::tocOf(tracks, leadOut, false);
}

std::vector<Track> audioAt(const std::vector<int>& addresses) {
    std::vector<Track> tracks;
    for (int address : addresses) tracks.push_back({address});
    return tracks;
}

TEST(AccurateRipDiscId, EnhancedCdCountsItsDataTrackOnlyThroughTheLeadOut) {
    auto tracks =
        audioAt({150, 12767, 40487, 63225, 93410, 118115, 151865, 184340, 215260, 247455});
    tracks.push_back({281735, true});
    const AccurateRipDiscId id = accurateRipDiscId(lbaToc(tracks, 333801));
    EXPECT_EQ(accurateRipIdText(id), "010-00164419-00b9f6e2-9e11600b");
    // Rippers that end the disc with the audio session get another fingerprint.
    tracks.pop_back();
    EXPECT_NE(accurateRipIdText(accurateRipDiscId(lbaToc(tracks, 281735 - 11400))),
              "010-00164419-00b9f6e2-9e11600b");
}

TEST(AccurateRipDiscId, MixedModeNumbersAudioTracksFromOne) {
    std::vector<Track> tracks{{150, true}};
    for (const Track& t :
         audioAt({66728,  76502,  85963,  93760,  104048, 116066, 124743, 134206, 142916, 151852,
                  160720, 169425, 178731, 188459, 196711, 206354, 214845, 223686, 225746, 226384,
                  232668, 239447, 239931, 244989, 254264, 260066, 261222, 261674})) {
        tracks.push_back(t);
    }
    EXPECT_EQ(accurateRipIdText(accurateRipDiscId(lbaToc(tracks, 261976))),
              "028-00517a54-05a845d2-af0da31d");
}

TEST(AccurateRipDiscId, FirstTrackAtZeroStillWeighsInTheSecondId) {
    const AccurateRipDiscId id = accurateRipDiscId(lbaToc(audioAt({150, 1150}), 2150));
    EXPECT_EQ(id.audioTracks, 2);
    EXPECT_EQ(id.id1, 0u + 1000 + 2000);
    EXPECT_EQ(id.id2, 1u * 1 + 1000 * 2 + 2000 * 3);
}

TEST(AccurateRipDiscId, ServerPathSpreadsDiscsOverFoldersByTheLowDigitsOfTheFirstId) {
    const AccurateRipDiscId id{3, 0x0001a2b5, 0x00ee5190, 0x9e11600b};
    EXPECT_EQ(accurateRipPath(id), "/accuraterip/5/b/2/dBAR-003-0001a2b5-00ee5190-9e11600b.bin");
}

}  // namespace
}  // namespace lumbra
