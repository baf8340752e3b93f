// The WMA writer library through its binary interface, the wrapper the writers use, and the
// parameters a track's settings give.
#include <gtest/gtest.h>

#include "platform/shared_library.h"
#include "rip/encoder_library.h"
#include "rip/wma_library_writer.h"
#include "rip/wma_parameters.h"
#include "rip/wma_wide_path.h"
#include "rip/wma_writer_interface.h"
#include "support/cue_image.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/recording_prompts.h"
#include "support/signal_to_noise.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

TEST(WmaParameters, FollowTheBitrateRules) {
    const struct {
        WmaSettings settings;  // sample index, bitrate index, DRM flag
        WmaParameters expected;
    } cases[] = {
        {{0, 6, 1}, {96000, 44100, 2, 1}},  // the defaults
        {{1, 1, 1}, {20000, 22050, 1, 1}},
        {{2, 3, 0}, {48000, 44100, 2, 0}},   // the list shows two rates, the table has three
        {{1, 9, 1}, {128000, 44100, 2, 1}},  // a bitrate outside the list
        {{1, -1, 1}, {128000, 44100, 2, 1}},
        // A rate index outside the table takes the list's first rate, which may not be 44100 Hz.
        {{7, 2, 0}, {32000, 22050, 2, 0}},
        {{-1, 1, 1}, {20000, 16000, 1, 1}},
        {{3, 3, 1}, {48000, 32000, 2, 1}},
        {{-1, 8, 1}, {160000, 44100, 2, 1}},
    };
    for (const auto& c : cases) {
        const WmaParameters p = wmaParametersFor(c.settings);
        EXPECT_EQ(std::tie(p.bitsPerSecond, p.sampleRate, p.channels, p.useDrm),
                  std::tie(c.expected.bitsPerSecond, c.expected.sampleRate, c.expected.channels,
                           c.expected.useDrm))
            << c.settings.sampleRate << "/" << c.settings.bitrate;
    }
}

TEST(WmaWidePath, ConvertsEveryCharacterAndRefusesWhatItCannot) {
    const std::string path = "/音乐/歌手 – 𝄞 曲.wma";
    const auto wide = toWidePath(path, 2048);
    ASSERT_TRUE(wide);
    EXPECT_EQ(*wide, u"/音乐/歌手 – 𝄞 曲.wma");
    EXPECT_EQ(fromWidePath(wide->c_str()), path);
    EXPECT_FALSE(toWidePath("bad \xC0\xAF byte", 2048)) << "overlong encoding";
    EXPECT_FALSE(toWidePath("cut \xE9\x9F", 2048));
    EXPECT_TRUE(toWidePath(std::string(2047, 'a'), 2048));
    EXPECT_FALSE(toWidePath(std::string(2048, 'a'), 2048)) << "no room for the terminator";
    const char16_t lonely[] = {u'a', 0xD800, u'b', 0};
    EXPECT_FALSE(fromWidePath(lonely));
}

class WmaLibrary : public ::testing::Test {
protected:
    test::TempDir dir;
    platform::SharedLibrary library{pluginPath(kWmaLibraryName)};
    WmaCreateWriterFunction create =
        library.function<WmaCreateWriterFunction>(kWmaCreateWriterName);
    std::vector<uint8_t> audio = test::musicLikeAudio(600, 3);

    void SetUp() override { ASSERT_TRUE(create) << library.errorText(); }

    IWmaAudioWriter* newWriter(const std::string& name) {
        IWmaAudioWriter* writer = nullptr;
        const auto path = toWidePath(dir.file(name), 2048);
        EXPECT_EQ(create(path->c_str(), &writer), kWmaOk);
        return writer;
    }
    static int32_t setFormats(IWmaAudioWriter* w, uint32_t bitsPerSecond, int rate, int channels) {
        const WmaWaveFormat input = wmaInputFormat(rate, channels);
        const int32_t status = w->table->setInputFormat(w, &input);
        return status < 0 ? status : w->table->setOutputFormat(w, bitsPerSecond, rate, channels, 0);
    }
};

TEST_F(WmaLibrary, EncodesSamplesHandedOverInPiecesOfAnySize) {
    IWmaAudioWriter* w = newWriter("pieces.wma");
    const int32_t drm = 1;
    EXPECT_EQ(w->table->setAttribute(w, kWmaUseDrmAttribute, kWmaFlagAttribute, &drm, 4), kWmaOk);
    ASSERT_EQ(setFormats(w, 96000, 44100, 2), kWmaOk);
    // 1001 bytes split sample frames, so the library must hold the odd bytes between calls.
    for (size_t at = 0; at < audio.size(); at += 1001) {
        const auto count = uint32_t(std::min<size_t>(1001, audio.size() - at));
        ASSERT_EQ(w->table->writeSamples(w, audio.data() + at, count), kWmaOk);
    }
    EXPECT_EQ(w->table->finish(w), kWmaOk);
    EXPECT_EQ(w->table->finish(w), kWmaOk) << "a second finish reports the first";
    EXPECT_EQ(w->table->release(w), 0u);
    const auto decoded = test::decodeAudioFile(dir.file("pieces.wma"));
    ASSERT_TRUE(decoded.complete);
    EXPECT_NEAR(decoded.decodedSeconds(), 8.0, 0.1);
    EXPECT_GT(test::monoSnrDb(decoded.samples, decoded.channels, audio), 12);
}

TEST_F(WmaLibrary, RefusesCallsOutOfOrderAndFormatsItCannotEncode) {
    IWmaAudioWriter* w = newWriter("refused.wma");
    const int32_t drm = 0;
    EXPECT_LT(w->table->setAttribute(w, u"title", kWmaFlagAttribute, &drm, 4), 0);
    EXPECT_LT(w->table->setOutputFormat(w, 96000, 44100, 2, 0), 0) << "no input format yet";
    EXPECT_LT(w->table->writeSamples(w, audio.data(), 4), 0) << "no output format yet";
    WmaWaveFormat input = wmaInputFormat(44100, 2);
    input.averageBytesPerSecond = 44100 * 2;
    EXPECT_LT(w->table->setInputFormat(w, &input), 0) << "a record that contradicts itself";
    EXPECT_LT(setFormats(w, 96000, 96000, 2), 0) << "wmav2 goes up to 48000 Hz";
    EXPECT_EQ(setFormats(w, 64000, 44100, 2), kWmaOk) << "a refused format may be corrected";
    w->table->release(w);
    EXPECT_TRUE(test::decodeAudioFile(dir.file("refused.wma")).complete)
        << "released unfinished, still a file";

    IWmaAudioWriter* unused = newWriter("unused.wma");
    unused->table->release(unused);
    EXPECT_NE(access(dir.file("unused.wma").c_str(), F_OK), 0) << "no header, no file";

    IWmaAudioWriter* none = nullptr;
    EXPECT_LT(create(toWidePath(dir.file("missing/x.wma"), 2048)->c_str(), &none), 0);
    EXPECT_EQ(none, nullptr);
}

TEST(WmaWriter, ShowsWhyItCannotOpenAndHoldsNothing) {
    test::TempDir dir;
    test::RecordingPrompts prompts;
    const WmaParameters parameters = wmaParametersFor({0, 6, 1});
    {
        WmaWriter writer(prompts);
        EXPECT_FALSE(writer.open(dir.path() + "/" + std::string(2100, 'x') + ".wma", parameters));
        EXPECT_EQ(writer.blockSize(), 0u);
        EXPECT_TRUE(writer.write({})) << "an empty write is not passed on";
    }
    setenv("LUMBRA_PLUGIN_DIR", dir.path().c_str(), 1);
    {
        WmaWriter writer(prompts);
        EXPECT_FALSE(writer.open(dir.file("x.wma"), parameters));
    }
    unsetenv("LUMBRA_PLUGIN_DIR");
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");
    EXPECT_EQ(prompts.shown[0].text, "内部错误");
    EXPECT_EQ(prompts.shown[1].text, "无法找到 WmAudSDK.DLL 文件");
}

}  // namespace
}  // namespace lumbra
