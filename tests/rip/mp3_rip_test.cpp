// Ripping to MP3 end to end: the real job, transport and virtual drive, the encoder library
// beside the tests, and the output decoded with FFmpeg.
#include <gtest/gtest.h>

#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

constexpr int kMp3FrameSamples = 1152;

class Mp3Rip : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        settings.encoder.mp3 = {1, 1, 8, 1, 3, 10, 7};
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 600});
        usePlugins(LUMBRA_LAME_PLUGIN_DIR);
        insertDiscs(image.cuePath);
    }

    void usePlugins(const std::string& folder) { setenv("LUMBRA_PLUGIN_DIR", folder.c_str(), 1); }
    std::string mp3(int i) const { return outputFile(i, ".mp3"); }
    long trackSamples(int i) const { return long(tracks[size_t(i)].length) * 588; }

    void expectTheTracksAudio(int i) {
        ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
        const test::DecodedAudio decoded = test::decodeAudioFile(mp3(i));
        EXPECT_EQ(decoded.sampleRate, 44100);
        ASSERT_EQ(decoded.channels, 2);
        EXPECT_EQ(long(decoded.frames()), trackSamples(i)) << "track " << i;
        const auto match = test::alignedSnr(test::cdSamples(image.trackAudio[size_t(i)]),
                                            decoded.samples, {2, -1200, 1200});
        EXPECT_GT(match.snrDb, 12.0) << "track " << i;
        EXPECT_EQ(match.shiftFrames, 0) << "a gapless player hears the track where it starts";
    }
};

// The player takes the delay and padding the header frame gives off the stream, whichever way
// the encoder was fed.
TEST_F(Mp3Rip, TracksBecomeGaplessStreamsOfTheirAudioOnBothRoutes) {
    for (bool throughTemporaryFile : {false, true}) {
        SCOPED_TRACE(throughTemporaryFile ? "from the temporary file" : "straight from the CD");
        settings.antiCrackle = throughTemporaryFile;
        rip({0, 2}, kFormatMp3);
        for (int i : {0, 2}) expectTheTracksAudio(i);
    }
}

TEST_F(Mp3Rip, ThirtyTwoKilohertzMonoSettingsGiveThirtyTwoKilohertzMono) {
    settings.encoder.mp3.sampleRate = 0;
    settings.encoder.mp3.channelMode = 0;
    rip({2}, kFormatMp3);
    ASSERT_EQ(tracks[2].status, kTrackDone);
    const test::DecodedAudio decoded = test::decodeAudioFile(mp3(2));
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(double(decoded.frames()), trackSamples(2) * 32000.0 / 44100, kMp3FrameSamples);
}

// A library that cannot be used passes the MP3 tracks over; one that refuses the settings fails
// them. Either way the job goes on. Straight from the CD a failed track leaves nothing; the
// converter keeps what it made.
TEST_F(Mp3Rip, AnEncoderThatCannotStartStopsOnlyTheMp3Tracks) {
    const std::string refused =
        "无法启动 MP3 编码器: 44100 Hz, 立体声, VBR Q3 128-192 kbps, 预设 良好";
    const struct {
        std::string folder;
        bool throughTemporaryFile;
        std::string message;
        int32_t status;
    } cases[] = {{dir.path(), false, "错误载入 LAME encoder dll\n", 0},
                 {LUMBRA_FAKE_LAME_MISSING_ENTRY_DIR, false, "从 LAME dll 汇集编码函数出错", 0},
                 {LUMBRA_FAKE_LAME_REFUSING_DIR, false, refused, kTrackFailed},
                 {LUMBRA_FAKE_LAME_REFUSING_DIR, true, refused, kTrackFailed}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder + (c.throughTemporaryFile ? ", from the temporary file" : ""));
        usePlugins(c.folder);
        settings.antiCrackle = c.throughTemporaryFile;
        prompts.shown.clear();
        std::remove(mp3(0).c_str());
        ripFormats({{0, kFormatMp3}, {1, kFormatWav}, {2, kFormatMp3}});
        ASSERT_EQ(prompts.shown.size(), 2u) << "once per MP3 track";
        for (const auto& shown : prompts.shown) {
            EXPECT_EQ(c.status ? shown.text : shown.text.substr(0, c.message.size()), c.message)
                << "a pass-over gives the loader's reason after the message";
        }
        EXPECT_EQ(tracks[0].status, c.status);
        EXPECT_EQ(tracks[2].status, c.status);
        EXPECT_EQ(tracks[1].status, kTrackDone);
        EXPECT_FALSE(exists(mp3(0)));
    }
}

}  // namespace
}  // namespace lumbra
