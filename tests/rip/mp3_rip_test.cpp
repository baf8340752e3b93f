// Ripping to MP3 end to end: the real job, transport and virtual drive, the encoder library
// beside the tests, and the output decoded with FFmpeg.
#include <gtest/gtest.h>

#include "ffmpeg_audio_decoder.h"
#include "rip/track_status.h"
#include "signal_to_noise.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

constexpr int kMp3FrameSamples = 1152;
constexpr int kSamplesPerCdFrame = 588;

// What the header frame at the start of a VBR file says about the stream.
struct LameHeader {
    bool found = false;
    uint32_t frames = 0;
    int delay = 0;
    int padding = 0;

    long playedSamples() const { return long(frames) * kMp3FrameSamples - delay - padding; }
};

uint32_t bigEndian32(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
}

LameHeader lameHeaderOf(const std::string& file) {
    LameHeader header;
    const size_t xing = file.find("Xing");
    if (xing > 64) return header;
    const uint32_t flags = bigEndian32(file, xing + 4);
    size_t at = xing + 8;
    // Frame count, byte count, seek table and quality, each there when its flag is set.
    if (flags & 1) header.frames = bigEndian32(file, at);
    at += (flags & 1 ? 4 : 0) + (flags & 2 ? 4 : 0) + (flags & 4 ? 100 : 0) + (flags & 8 ? 4 : 0);
    if (file.compare(at, 4, "LAME") != 0) return header;
    // Encoder delay and padding: two 12-bit numbers 21 bytes into the LAME extension.
    const auto b = [&](size_t i) { return int(uint8_t(file[at + i])); };
    header.delay = b(21) << 4 | b(22) >> 4;
    header.padding = (b(22) & 0xF) << 8 | b(23);
    header.found = true;
    return header;
}

class Mp3Rip : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        settings.encoder.mp3 = {1, 1, 8, 1, 3, 10, 7};
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 600});
        usePlugins(LUMBRA_LAME_PLUGIN_DIR);
    }
    void TearDown() override {
        unsetenv("LUMBRA_PLUGIN_DIR");
        RipHarness::TearDown();
    }

    void usePlugins(const std::string& folder) { setenv("LUMBRA_PLUGIN_DIR", folder.c_str(), 1); }

    std::string mp3(int i) { return outputFile(i, ".mp3"); }
    bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
    long trackSamples(int i) { return long(tracks[size_t(i)].length) * kSamplesPerCdFrame; }

    // The statuses posted for track i, from the `first` post of the harness on.
    std::vector<int32_t> statusesPosted(int i, size_t first) {
        std::vector<int32_t> statuses;
        const auto posted = events.events();
        for (size_t e = first; e < posted.size(); ++e) {
            if (posted[e].track == &tracks[size_t(i)]) statuses.push_back(posted[e].status);
        }
        return statuses;
    }

    void expectTheTracksAudio(int i) {
        const std::string file = fileText(mp3(i));
        const LameHeader header = lameHeaderOf(file);
        ASSERT_TRUE(header.found) << "no completed LAME header in track " << i;
        EXPECT_EQ(header.playedSamples(), trackSamples(i))
            << "delay and padding must cut the stream exactly";
        const test::DecodedAudio decoded = test::decodeAudioFile(mp3(i));
        EXPECT_EQ(decoded.sampleRate, 44100);
        ASSERT_EQ(decoded.channels, 2);
        EXPECT_NEAR(double(decoded.frames()), double(trackSamples(i)), kMp3FrameSamples);
        const auto match = test::alignedSnr(test::cdSamples(image.trackAudio[size_t(i)]),
                                            decoded.samples, {2, -1200, 1200});
        EXPECT_GT(match.snrDb, 12.0) << "track " << i;
        EXPECT_EQ(match.shiftFrames, 0) << "a gapless player hears the track where it starts";
    }
};

TEST_F(Mp3Rip, TracksBecomeGaplessStreamsOfTheirAudioOnBothPaths) {
    for (bool throughTemporaryFile : {false, true}) {
        SCOPED_TRACE(throughTemporaryFile ? "from the temporary file" : "straight from the CD");
        settings.antiCrackle = throughTemporaryFile;
        settings.id3Enable = throughTemporaryFile;
        insertDiscs(image.cuePath);
        const size_t firstPost = events.events().size();
        rip({0, 2}, kFormatMp3);
        for (int i : {0, 2}) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
            expectTheTracksAudio(i);
            const std::string tail = fileText(mp3(i)).substr(fileText(mp3(i)).size() - 128);
            EXPECT_EQ(tail.rfind("TAG\xD2\xF4\xB9\xEC 0", 0) == 0, settings.id3Enable)
                << "音轨 0n, in GBK";
        }
        const auto statuses = statusesPosted(0, firstPost);
        ASSERT_GE(statuses.size(), 3u);
        EXPECT_TRUE(std::is_sorted(statuses.begin(), statuses.end()));
        EXPECT_EQ(statuses.back(), kTrackDone);
        if (throughTemporaryFile) {
            EXPECT_FALSE(exists(settings.outputFolder + "/lumbra_cdtmp.pcm"));
            EXPECT_NE(std::find(statuses.begin(), statuses.end(), 40), statuses.end());
            EXPECT_GT(std::count_if(statuses.begin(), statuses.end(),
                                    [](int s) { return s > 40 && s < 100; }),
                      1);
        }
        shutdownCdAccess();
    }
}

TEST_F(Mp3Rip, ThirtyTwoKilohertzMonoSettingsGiveThirtyTwoKilohertzMono) {
    settings.encoder.mp3.sampleRate = 0;
    settings.encoder.mp3.channelMode = 0;
    insertDiscs(image.cuePath);
    rip({2}, kFormatMp3);
    ASSERT_EQ(tracks[2].status, kTrackDone);
    const test::DecodedAudio decoded = test::decodeAudioFile(mp3(2));
    EXPECT_EQ(decoded.sampleRate, 32000);
    EXPECT_EQ(decoded.channels, 1);
    EXPECT_NEAR(double(decoded.frames()), trackSamples(2) * 32000.0 / 44100, kMp3FrameSamples);
}

TEST_F(Mp3Rip, WithoutTheLibraryOrOneOfItsEntryPointsMp3TracksArePassedOver) {
    const struct {
        std::string folder;
        std::string message;
    } cases[] = {{dir.path(), "错误载入 LAME encoder dll\n"},
                 {LUMBRA_FAKE_LAME_MISSING_ENTRY_DIR, "从 LAME dll 汇集编码函数出错"}};
    insertDiscs(image.cuePath);
    for (const auto& c : cases) {
        usePlugins(c.folder);
        prompts.shown.clear();
        ripFormats({{0, kFormatMp3}, {1, kFormatWav}, {2, kFormatMp3}});
        ASSERT_EQ(prompts.shown.size(), 2u) << "once per MP3 track";
        for (const auto& shown : prompts.shown)
            EXPECT_EQ(shown.text.rfind(c.message, 0), 0u) << shown.text;
        EXPECT_EQ(tracks[0].status, 0);
        EXPECT_EQ(tracks[2].status, 0);
        EXPECT_EQ(tracks[1].status, kTrackDone);
        EXPECT_FALSE(exists(mp3(0)));
    }
}

TEST_F(Mp3Rip, SettingsTheEncoderRefusesFailOnlyTheirTrack) {
    usePlugins(LUMBRA_FAKE_LAME_REFUSING_DIR);
    for (bool throughTemporaryFile : {false, true}) {
        settings.antiCrackle = throughTemporaryFile;
        prompts.shown.clear();
        insertDiscs(image.cuePath);
        ripFormats({{0, kFormatMp3}, {1, kFormatWav}});
        EXPECT_EQ(tracks[0].status, kTrackFailed);
        EXPECT_EQ(tracks[1].status, kTrackDone) << "the job goes on";
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].text,
                  "无法启动 MP3 编码器: 44100 Hz, 立体声, VBR Q3 128-192 kbps, 预设 良好");
        // Straight from the CD a failed track leaves nothing; the converter keeps what it made.
        EXPECT_EQ(exists(mp3(0)), throughTemporaryFile);
        shutdownCdAccess();
    }
}

TEST_F(Mp3Rip, StoppingDeletesADirectFileButKeepsAConvertedOne) {
    settings.id3Enable = true;
    for (bool throughTemporaryFile : {false, true}) {
        SCOPED_TRACE(throughTemporaryFile ? "from the temporary file" : "straight from the CD");
        settings.antiCrackle = throughTemporaryFile;
        insertDiscs(image.cuePath);
        stopAtProgressAbove(throughTemporaryFile ? 40 : 0);
        rip({0, 2}, kFormatMp3);
        events.onPost = nullptr;
        EXPECT_EQ(tracks[0].status, kTrackCancelled);
        EXPECT_EQ(tracks[2].status, 0) << "the job ends after the stopped track";
        EXPECT_EQ(exists(mp3(0)), throughTemporaryFile);
        if (throughTemporaryFile) {
            const std::string file = fileText(mp3(0));
            EXPECT_EQ(file.compare(file.size() - 128, 3, "TAG"), 0) << "flushed and tagged";
            EXPECT_TRUE(test::decodeAudioFile(mp3(0)).frames() > 0);
        }
        shutdownCdAccess();
    }
}

TEST_F(Mp3Rip, AFullDiskFailsTheTrackAndLeavesNoTruncatedFile) {
    insertDiscs(image.cuePath);
    ripOntoAFullDisk(60000, {0, 1}, kFormatMp3);
    EXPECT_EQ(tracks[0].status, kTrackFailed);
    EXPECT_FALSE(exists(mp3(0)));
    EXPECT_EQ(tracks[1].status, kTrackDone) << "27 frames fit";
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "写入输出文件出错: \n  " + mp3(0));
}

}  // namespace
}  // namespace lumbra
