// Ripping to WMA end to end: the real job, transport, virtual drive and writer library, with the
// files read back by FFmpeg.
#include <gtest/gtest.h>

#include <filesystem>

#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

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
        insertDiscs(image.cuePath);
    }

    std::string wma(int i) const { return outputFile(i, ".wma"); }
    double seconds(int i) const { return tracks[size_t(i)].length / 75.0; }

    test::DecodedAudio decoded(int i) {
        auto audio = test::decodeAudioFile(wma(i));
        EXPECT_TRUE(audio.complete) << wma(i);
        return audio;
    }
};

// The lowest bitrates are below what the codec can do at their rate; they get the lowest it can.
TEST_F(WmaRip, EachBitrateGivesItsRateChannelsAndTheTracksAudioOnBothPaths) {
    const struct {
        WmaSettings settings;
        int rate;
        int channels;
        int64_t bitRate;
    } cases[] = {{{0, 6, 1}, 44100, 2, 96000},  // the defaults
                 {{2, 0, 1}, 8000, 1, 24000},   // 6 kbps: 8000 Hz at every rate index
                 {{2, 1, 0}, 32000, 1, 24000},
                 {{1, 3, 1}, 44100, 2, 48000},
                 {{1, 8, 1}, 48000, 2, 160000}};
    for (const auto& c : cases) {
        for (bool antiCrackle : {false, true}) {
            settings.encoder.wma = c.settings;
            settings.antiCrackle = antiCrackle;
            rip({1, 2}, kFormatWma);
            for (int i : {1, 2}) {
                SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.bitRate) +
                             (antiCrackle ? " bit/s through the temporary file" : " bit/s direct") +
                             ", track " + std::to_string(i));
                ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
                const auto audio = decoded(i);
                EXPECT_EQ(std::tie(audio.codec, audio.sampleRate, audio.channels, audio.bitRate),
                          std::tie("wmav2", c.rate, c.channels, c.bitRate));
                EXPECT_NEAR(audio.containerSeconds, seconds(i), kDurationTolerance);
                EXPECT_NEAR(audio.decodedSeconds(), seconds(i), kDurationTolerance);
            }
            if (c.rate != 44100) continue;
            const auto audio = decoded(2);
            EXPECT_GT(test::monoSnrDb(audio.samples, c.channels, image.trackAudio[2]),
                      kLowestSnrDb);
            EXPECT_LT(test::monoSnrDb(audio.samples, c.channels, image.trackAudio[0]), 1)
                << "another track's audio must not pass for this one";
        }
    }
    EXPECT_TRUE(prompts.shown.empty());
}

// A library that is not there passes the track over; one that cannot write fails it. Either
// way the job goes on.
TEST_F(WmaRip, ALibraryThatCannotWriteStopsOnlyItsTrack) {
    for (const char* folder : {"empty", "no_entry"})
        std::filesystem::create_directory(dir.file(folder));
    std::filesystem::copy_file(LUMBRA_VIRTUAL_DRIVE_LIBRARY, dir.file("no_entry/libwmaudsdk.so"));
    const struct {
        std::string folder;
        int32_t status;
        std::string caption, message;
    } cases[] = {{dir.file("empty"), 0, "Lumbra CD Ripper 错误", "无法找到 WmAudSDK.DLL 文件\n"},
                 {dir.file("no_entry"), kTrackFailed, "Lumbra CD Ripper",
                  "无法找到 WMAudioCreateWriter 库程序"},
                 {LUMBRA_REFUSING_WMA_FOLDER, kTrackFailed, "Lumbra CD Ripper",
                  " 设置输出格式失败\n  96 kbps, 44100 Hz, 立体声"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        setenv("LUMBRA_PLUGIN_DIR", c.folder.c_str(), 1);
        prompts.shown.clear();
        ripFormats({{0, kFormatWma}, {1, kFormatWav}});
        EXPECT_EQ(tracks[0].status, c.status);
        EXPECT_FALSE(exists(wma(0)));
        EXPECT_EQ(tracks[1].status, kTrackDone);
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].caption, c.caption);
        const std::string& text = prompts.shown[0].text;
        EXPECT_EQ(c.status ? text : text.substr(0, c.message.size()), c.message)
            << "a pass-over gives the loader's reason after the message";
    }
}

}  // namespace
}  // namespace lumbra
