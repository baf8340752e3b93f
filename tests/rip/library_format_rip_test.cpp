// Ripping to the formats whose encoders are libraries loaded at run time, MP3 and WMA, beyond what
// every format does: the rates, channels and bit rates their settings give, and libraries that
// cannot be used.
#include <gtest/gtest.h>

#include <filesystem>

#include "rip/track_status.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

constexpr int kMp3FrameSamples = 1152;
constexpr double kDurationTolerance = 0.1;
constexpr double kLowestSnrDb = 12;

class LibraryFormatRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({1000, 27, 600});
    }

    double seconds(int i) const { return tracks[size_t(i)].length / 75.0; }
};

TEST_F(LibraryFormatRip, Mp3ThirtyTwoKilohertzMonoSettingsGiveThirtyTwoKilohertzMono) {
    settings.encoder.mp3.sampleRate = 0;
    settings.encoder.mp3.channelMode = 0;
    rip({2}, kFormatMp3);
    ASSERT_EQ(tracks[2].status, kTrackDone);
    const test::DecodedAudio decoded = test::decodeAudioFile(outputFile(2, ".mp3"));
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(decoded.decodedSeconds(), seconds(2), double(kMp3FrameSamples) / 32000);
}

// The lowest bitrates are below what the codec can do at their rate; they get the lowest it can.
TEST_F(LibraryFormatRip, EachWmaBitrateGivesItsRateChannelsAndTheTracksAudio) {
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
        settings.encoder.wma = c.settings;
        rip({1, 2}, kFormatWma);
        for (int i : {1, 2}) {
            SCOPED_TRACE(std::to_string(c.rate) + " Hz, " + std::to_string(c.bitRate) +
                         " bit/s, track " + std::to_string(i));
            ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
            const auto audio = test::decodeAudioFile(outputFile(i, ".wma"));
            EXPECT_TRUE(audio.complete);
            EXPECT_EQ(std::tie(audio.codec, audio.sampleRate, audio.channels, audio.bitRate),
                      std::tie("wmav2", c.rate, c.channels, c.bitRate));
            EXPECT_NEAR(audio.containerSeconds, seconds(i), kDurationTolerance);
            EXPECT_NEAR(audio.decodedSeconds(), seconds(i), kDurationTolerance);
            if (c.rate != 44100 || i != 2) continue;  // track 1 is too short to measure
            EXPECT_GT(test::monoSnrDb(audio.samples, c.channels, image.trackAudio[size_t(i)]),
                      kLowestSnrDb);
        }
    }
    EXPECT_TRUE(prompts.shown.empty());
}

// A library that cannot be used passes its format's tracks over; one that refuses the settings
// fails them. Either way the job goes on, and a failed track leaves nothing.
TEST_F(LibraryFormatRip, ALibraryThatCannotEncodeStopsOnlyItsFormatsTracks) {
    for (const char* folder : {"empty", "no_entry"})
        std::filesystem::create_directory(dir.file(folder));
    std::filesystem::copy_file(LUMBRA_VIRTUAL_DRIVE_LIBRARY, dir.file("no_entry/libwmaudsdk.so"));
    const std::string refused =
        "无法启动 MP3 编码器: 44100 Hz, 立体声, VBR Q3 128-192 kbps, 预设 良好";
    const struct {
        int32_t format;
        std::string folder;
        bool throughTemporaryFile;
        int32_t status;
        std::string caption, message;
    } cases[] = {{kFormatMp3, dir.file("empty"), false, 0, "Lumbra CD Ripper 错误",
                  "错误载入 LAME encoder dll\n"},
                 {kFormatMp3, LUMBRA_FAKE_LAME_MISSING_ENTRY_DIR, false, 0, "Lumbra CD Ripper 错误",
                  "从 LAME dll 汇集编码函数出错"},
                 {kFormatMp3, LUMBRA_FAKE_LAME_REFUSING_DIR, false, kTrackFailed,
                  "Lumbra CD Ripper 错误", refused},
                 {kFormatMp3, LUMBRA_FAKE_LAME_REFUSING_DIR, true, kTrackFailed,
                  "Lumbra CD Ripper 错误", refused},
                 {kFormatWma, dir.file("empty"), false, 0, "Lumbra CD Ripper 错误",
                  "无法找到 WmAudSDK.DLL 文件\n"},
                 {kFormatWma, dir.file("no_entry"), false, kTrackFailed, "Lumbra CD Ripper",
                  "无法找到 WMAudioCreateWriter 库程序"},
                 {kFormatWma, LUMBRA_REFUSING_WMA_FOLDER, false, kTrackFailed, "Lumbra CD Ripper",
                  " 设置输出格式失败\n  96 kbps, 44100 Hz, 立体声"}};
    for (const auto& c : cases) {
        const std::string extension = findOutputFormat(formats, c.format)->extension;
        SCOPED_TRACE(c.folder + extension + (c.throughTemporaryFile ? " through the file" : ""));
        setenv("LUMBRA_PLUGIN_DIR", c.folder.c_str(), 1);
        settings.antiCrackle = c.throughTemporaryFile;
        prompts.shown.clear();
        std::filesystem::remove_all(settings.outputFolder);
        ripFormats({{0, c.format}, {1, kFormatWav}, {2, c.format}});
        ASSERT_EQ(prompts.shown.size(), 2u) << "once per track";
        for (const auto& shown : prompts.shown) {
            EXPECT_EQ(shown.caption, c.caption);
            EXPECT_EQ(c.status ? shown.text : shown.text.substr(0, c.message.size()), c.message)
                << "a pass-over gives the loader's reason after the message";
        }
        for (int i : {0, 2}) {
            EXPECT_EQ(tracks[size_t(i)].status, c.status);
            EXPECT_FALSE(exists(outputFile(i, extension)));
        }
        EXPECT_EQ(tracks[1].status, kTrackDone);
    }
}

}  // namespace
}  // namespace lumbra
