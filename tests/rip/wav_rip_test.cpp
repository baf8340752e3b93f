// Ripping to WAV end to end: the real job, transport and virtual drive.
#include <gtest/gtest.h>

#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

class WavRip : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 0 + 1500});
    }

    std::string wavData(int i) { return fileText(outputFile(i, ".wav")).substr(44); }
    std::string expected(int i) {
        return {image.trackAudio[size_t(i)].begin(), image.trackAudio[size_t(i)].end()};
    }
};

TEST_F(WavRip, EveryTrackIsBitExactInEveryJitterMode) {
    for (int mode : {0, 1, 2}) {
        settings.jitterMode = mode;
        insertDiscs(image.cuePath);
        rip({0, 1, 2}, kFormatWav);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone) << "mode " << mode;
            EXPECT_TRUE(wavData(i) == expected(i)) << "mode " << mode << " track " << i;
        }
        shutdownCdAccess();
    }
}

}  // namespace
}  // namespace lumbra
