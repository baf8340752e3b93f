// Ripping to WMA end to end: the real job, transport, virtual drive and writer library, with the
// files read back by FFmpeg.
#include <gtest/gtest.h>

#include <filesystem>

#include "ffmpeg_audio_decoder.h"
#include "rip/track_status.h"
#include "signal_to_noise.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

constexpr double kDurationTolerance = 0.1;
constexpr double kLowestSnrDb = 12;

class WmaRip : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        settings.encoder.wma = {0, 6, 1};  // 44100 Hz, 96 kbps, DRM flag set
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 600});
    }

    void TearDown() override {
        unsetenv("LUMBRA_PLUGIN_DIR");
        RipHarness::TearDown();
    }

    std::string wma(int i) const { return outputFile(i, ".wma"); }
    bool exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }
    double seconds(int i) const { return tracks[size_t(i)].length / 75.0; }

    test::DecodedAudio decoded(int i) {
        auto audio = test::decodeAudioFile(wma(i));
        EXPECT_TRUE(audio.complete) << wma(i);
        return audio;
    }
};

TEST_F(WmaRip, DefaultSettingsGiveTheTracksAudioAtNinetySixKbitStereo) {
    insertDiscs(image.cuePath);
    for (bool antiCrackle : {false, true}) {
        settings.antiCrackle = antiCrackle;
        rip({0, 1}, kFormatWma);
        for (int i : {0, 1}) {
            SCOPED_TRACE(std::string(antiCrackle ? "through the temporary file" : "direct") +
                         ", track " + std::to_string(i));
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
            const auto audio = decoded(i);
            EXPECT_EQ(audio.codec, "wmav2");
            EXPECT_EQ(audio.sampleRate, 44100);
            EXPECT_EQ(audio.channels, 2);
            EXPECT_NEAR(double(audio.bitRate), 96000, 1000);
            EXPECT_NEAR(audio.containerSeconds, seconds(i), kDurationTolerance);
            EXPECT_NEAR(audio.decodedSeconds(), seconds(i), kDurationTolerance);
        }
        const auto audio = decoded(0);
        EXPECT_GT(test::monoSnrDb(audio.samples, 2, image.trackAudio[0]), kLowestSnrDb);
        EXPECT_LT(test::monoSnrDb(audio.samples, 2, image.trackAudio[2]), 1)
            << "another track's audio must not pass for this one";
        EXPECT_FALSE(exists(settings.outputFolder + "/lumbra_cdtmp.pcm"));
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(WmaRip, EachBitrateGetsTheRateAndChannelsItDeclaresWithConvertedSamples) {
    const struct {
        WmaSettings settings;
        int rate;
        int channels;
    } cases[] = {{{2, 0, 1}, 8000, 1},  // 6 kbps: 8000 Hz at every rate index
                 {{2, 1, 0}, 32000, 1},
                 {{1, 3, 1}, 44100, 2},
                 {{1, 8, 1}, 48000, 2}};
    insertDiscs(image.cuePath);
    for (const auto& c : cases) {
        for (bool antiCrackle : {false, true}) {
            SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.channels) +
                         " channels" + (antiCrackle ? ", through the temporary file" : ""));
            settings.encoder.wma = c.settings;
            settings.antiCrackle = antiCrackle;
            rip({2}, kFormatWma);
            ASSERT_EQ(tracks[2].status, kTrackDone);
            const auto audio = decoded(2);
            EXPECT_EQ(audio.sampleRate, c.rate);
            EXPECT_EQ(audio.channels, c.channels);
            EXPECT_NEAR(audio.decodedSeconds(), seconds(2), kDurationTolerance);
        }
    }
}

TEST_F(WmaRip, AMissingLibraryPassesTheTrackOverAndTheJobGoesOn) {
    std::filesystem::create_directory(dir.file("empty"));
    setenv("LUMBRA_PLUGIN_DIR", dir.file("empty").c_str(), 1);
    insertDiscs(image.cuePath);
    ripFormats({{0, kFormatWma}, {1, kFormatWav}});
    EXPECT_EQ(tracks[0].status, 0);
    EXPECT_FALSE(exists(wma(0)));
    EXPECT_EQ(tracks[1].status, kTrackDone);
    EXPECT_TRUE(exists(outputFile(1, ".wav")));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper 错误");
    EXPECT_EQ(prompts.shown[0].text.rfind("无法找到 WmAudSDK.DLL 文件\n", 0), 0u)
        << prompts.shown[0].text;
}

TEST_F(WmaRip, ALibraryThatCannotWriteFailsOnlyItsTrack) {
    std::filesystem::create_directory(dir.file("no_entry"));
    std::filesystem::copy_file(LUMBRA_VIRTUAL_DRIVE_LIBRARY, dir.file("no_entry/libwmaudsdk.so"));
    const struct {
        std::string folder;
        std::string message;
    } cases[] = {{dir.file("no_entry"), "无法找到 WMAudioCreateWriter 库程序"},
                 {LUMBRA_REFUSING_WMA_FOLDER, " 设置输出格式失败\n  96 kbps, 44100 Hz, 立体声"}};
    insertDiscs(image.cuePath);
    for (const auto& c : cases) {
        setenv("LUMBRA_PLUGIN_DIR", c.folder.c_str(), 1);
        prompts.shown.clear();
        ripFormats({{0, kFormatWma}, {1, kFormatWav}});
        EXPECT_EQ(tracks[0].status, kTrackFailed) << c.message;
        EXPECT_FALSE(exists(wma(0))) << c.message;
        EXPECT_EQ(tracks[1].status, kTrackDone) << c.message;
        ASSERT_EQ(prompts.shown.size(), 1u) << c.message;
        EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");
        EXPECT_EQ(prompts.shown[0].text, c.message);
    }
}

TEST_F(WmaRip, StoppingDeletesTheDirectFileButKeepsWhatTheConverterFinished) {
    insertDiscs(image.cuePath);
    stopAtProgressAbove(0);
    rip({0, 2}, kFormatWma);
    EXPECT_EQ(tracks[0].status, kTrackCancelled);
    EXPECT_FALSE(exists(wma(0)));
    EXPECT_EQ(tracks[2].status, 0) << "the job ends after the stopped track";

    settings.antiCrackle = true;
    stopAtProgressAbove(40);
    rip({0}, kFormatWma);
    EXPECT_EQ(tracks[0].status, kTrackCancelled);
    EXPECT_FALSE(exists(settings.outputFolder + "/lumbra_cdtmp.pcm"));
    const auto audio = decoded(0);
    EXPECT_EQ(audio.codec, "wmav2") << "the part written is a complete file";
    EXPECT_LT(audio.decodedSeconds(), seconds(0) - 1);
}

TEST_F(WmaRip, AFullDiskFailsTheTrackAndLeavesNoTruncatedFile) {
    insertDiscs(image.cuePath);
    ripOntoAFullDisk(100000, {0, 1}, kFormatWma);
    EXPECT_EQ(tracks[0].status, kTrackFailed);
    EXPECT_FALSE(exists(wma(0)));
    EXPECT_EQ(tracks[1].status, kTrackDone) << "27 frames fit";
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown[0].text, "写入输出文件出错: \n  " + wma(0));
}

}  // namespace
}  // namespace lumbra
