// The checksums taken while a track is read, against whipper's accuraterip-checksum command (an
// independent implementation) on the same samples, however the reads split them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "rip/track_checksums.h"
#include "support/command_output.h"
#include "support/cue_image.h"
#include "support/temp_dir.h"
#include "support/wave_file.h"

namespace lumbra {
namespace {

uint32_t peerChecksum(const std::string& version, const std::string& wav, int track, int tracks) {
    const auto run = test::runCommand("accuraterip-checksum --accuraterip-" + version + " " +
                                      test::shellQuoted(wav) + " " + std::to_string(track) + " " +
                                      std::to_string(tracks));
    unsigned value = 0;
    if (std::sscanf(run.out.c_str(), "%8x", &value) != 1)
        ADD_FAILURE() << "no answer from accuraterip-checksum (scripts/setup installs whipper)";
    return value;
}

TrackChecksumValues inPieces(const std::vector<uint8_t>& audio, bool first, bool last,
                             size_t piece) {
    TrackChecksums sums(uint32_t(audio.size() / 4), first, last);
    for (size_t at = 0; at < audio.size(); at += piece) {
        sums.add({audio.data() + at, std::min(piece, audio.size() - at)});
    }
    return sums.values();
}

TEST(TrackChecksums, AgreeWithAnIndependentImplementationAtEveryPlaceOnTheDisc) {
    const test::TempDir dir;
    const auto audio = test::musicLikeAudio(40, 3);
    const std::string wav = dir.file("track.wav");
    test::writeCdWaveFile(wav, audio);
    struct Place {
        int track, tracks;
    };
    for (const Place place : {Place{1, 3}, Place{2, 3}, Place{3, 3}, Place{1, 1}}) {
        const bool first = place.track == 1, last = place.track == place.tracks;
        const uint32_t v1 = peerChecksum("v1", wav, place.track, place.tracks);
        const uint32_t v2 = peerChecksum("v2", wav, place.track, place.tracks);
        // Whole reads, and pieces that split samples at every byte.
        for (const size_t piece : {size_t(26 * 2352), size_t(2352), size_t(7), size_t(1)}) {
            const TrackChecksumValues sums = inPieces(audio, first, last, piece);
            EXPECT_EQ(sums.v1, v1) << place.track << "/" << place.tracks << " in " << piece;
            EXPECT_EQ(sums.v2, v2) << place.track << "/" << place.tracks << " in " << piece;
        }
    }
}

// A changed sample changes every checksum, but the edges of the disc the database leaves out count
// only in the CRC.
TEST(TrackChecksums, OneChangedSampleChangesEveryChecksumUnlessItIsInTheDiscsEdges) {
    auto audio = test::musicLikeAudio(12, 5);
    const TrackChecksumValues before = inPieces(audio, true, true, 2352);
    audio[4 * 3500] ^= 1;  // between the edges
    const TrackChecksumValues changed = inPieces(audio, true, true, 2352);
    EXPECT_NE(before.v1, changed.v1);
    EXPECT_NE(before.v2, changed.v2);
    EXPECT_NE(before.crc32, changed.crc32);
    audio[4 * 100] ^= 1;                 // inside the first five frames
    audio[audio.size() - 4 * 100] ^= 1;  // inside the last five
    const TrackChecksumValues edges = inPieces(audio, true, true, 2352);
    EXPECT_EQ(changed.v1, edges.v1);
    EXPECT_EQ(changed.v2, edges.v2);
    EXPECT_NE(changed.crc32, edges.crc32);
    // A track shorter than both edges together has nothing to count.
    EXPECT_EQ(inPieces(test::musicLikeAudio(8, 1), true, true, 2352).v1, 0u);
}

TEST(TrackChecksums, CrcIsTheCommonCrc32) {
    const std::string check = "123456789";
    TrackChecksums sums(2, false, false);
    sums.add({reinterpret_cast<const uint8_t*>(check.data()), check.size()});
    EXPECT_EQ(sums.values().crc32, 0xCBF43926u);
}

}  // namespace
}  // namespace lumbra
