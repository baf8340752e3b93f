// Ripping to Opus end to end: the real job, transport and virtual drive, the files decoded by the
// opus tools, whose lengths must be the track's to the sample.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "rip/track_status.h"
#include "support/command_output.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

constexpr int kOpusRate = 48000;
constexpr int kSamplesPerCdFrameAt48k = kOpusRate / 75;

// "Playback length: 0m:21.333s", as opusinfo reports a stream of `samples` at 48 kHz.
std::string playbackLengthLine(int64_t samples) {
    char line[64];
    const double seconds = double(samples) / kOpusRate;
    std::snprintf(line, sizeof line, "Playback length: %dm:%06.3fs", int(seconds / 60),
                  seconds - 60 * int(seconds / 60));
    return line;
}

class OpusRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({1600, 27, 900});
    }

    std::string opus(int i) const { return outputFile(i, ".opus"); }
    int64_t cdSamples(int i) const { return int64_t(tracks[size_t(i)].length) * 588; }

    // Exactly the track's length at 48 kHz (opusinfo) and at 44.1 kHz (opusdec), as loud and
    // clear as an MP3 of its bit rate, with no shift a gapless player would hear.
    void expectTheTracksAudio(int i) {
        SCOPED_TRACE("track " + std::to_string(i));
        ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
        const std::string file = test::shellQuoted(opus(i));
        const auto info = test::runCommand("opusinfo " + file);
        EXPECT_EQ(info.exitCode, 0);
        EXPECT_NE(info.out.find(playbackLengthLine(int64_t(tracks[size_t(i)].length) *
                                                   kSamplesPerCdFrameAt48k)),
                  std::string::npos)
            << info.out;
        EXPECT_NE(info.out.find("Original sample rate: 44100 Hz"), std::string::npos);

        const auto pcm =
            test::runCommand("opusdec --quiet --rate 44100 " + file + " - 2>/dev/null");
        ASSERT_EQ(int64_t(pcm.out.size()), cdSamples(i) * 4);
        const std::vector<uint8_t> decoded(pcm.out.begin(), pcm.out.end());
        const auto match = test::alignedSnr(test::cdSamples(image.trackAudio[size_t(i)]),
                                            test::cdSamples(decoded), {2, -1200, 1200});
        EXPECT_GT(match.snrDb, 12.0);
        EXPECT_EQ(match.shiftFrames, 0);
    }
};

TEST_F(OpusRip, OpusToolsDecodeTracksToTheirExactLengthAndSound) {
    rip({0, 1, 2}, kFormatOpus);
    for (int i = 0; i < 3; ++i) expectTheTracksAudio(i);
}

TEST_F(OpusRip, EachTracksBitRateReachesTheEncoder) {
    std::map<int, double> kbps;
    for (const int32_t index : {0, 7}) {  // 32 and 256 kbit/s
        tracks[0].format = kFormatOpus;
        tracks[0].encoderSettings = toSlots(OpusSettings{index});
        runJob({0});
        ASSERT_EQ(tracks[0].status, kTrackDone);
        kbps[index] = double(std::filesystem::file_size(opus(0))) * 8 / 1000 /
                      (double(tracks[0].length) / 75);
    }
    EXPECT_NEAR(kbps[0], 32, 8);
    EXPECT_NEAR(kbps[7], 256, 40);
}

}  // namespace
}  // namespace lumbra
