// Ripping to WAV end to end: the real job, transport and virtual drive, with the drive faults
// real drives have, and the ways a track can end.
#include <gtest/gtest.h>

#include "rip/track_status.h"
#include "rip/wav_header.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

class WavRip : public test::RipHarness {
protected:
    test::CueImage image;

    void SetUp() override {
        RipHarness::SetUp();
        image = test::writeCueImage(dir.path(), "album", {1000, 27, 1500});
    }

    bool exists(int i) { return access(outputFile(i, ".wav").c_str(), F_OK) == 0; }
    std::string wavData(int i) { return fileText(outputFile(i, ".wav")).substr(44); }
    std::string expected(int i) {
        return {image.trackAudio[size_t(i)].begin(), image.trackAudio[size_t(i)].end()};
    }
    void expectBitExact(const std::string& what) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone) << what << " track " << i;
            EXPECT_TRUE(wavData(i) == expected(i)) << what << " track " << i;
        }
    }
    std::vector<std::string> errorTexts() {
        std::vector<std::string> texts;
        for (const auto& m : prompts.shown) texts.push_back(m.text);
        return texts;
    }
};

TEST_F(WavRip, IsBitExactInEveryModeWithJitterErrorsAndFallbackReadMethods) {
    const struct {
        int mode;
        const char* faults;
    } cases[] = {{0, ""},
                 {1, ""},
                 {2, ""},
                 {2, "jitter=300,seed=7"},
                 {1, "jitter=300,seed=3,readerror=1040:1,readerror=2100:2"},
                 {1, "readerror=500:2"},
                 {0, "readerror=600:2"},
                 {1, "reject=2/1"},
                 {1, "untouched=2"}};
    for (const auto& c : cases) {
        settings.jitterMode = c.mode;
        insertDiscs(image.cuePath, c.faults);
        rip({0, 1, 2}, kFormatWav);
        expectBitExact(std::to_string(c.mode) + " " + c.faults);
        shutdownCdAccess();
    }
}

TEST_F(WavRip, APermanentReadErrorFailsOnlyItsTrack) {
    settings.jitterMode = kJitterNever;
    insertDiscs(image.cuePath, "readerror=1010");
    rip({0, 1, 2}, kFormatWav);
    EXPECT_EQ(tracks[0].status, kTrackDone);
    EXPECT_EQ(tracks[1].status, kTrackFailed);
    EXPECT_FALSE(exists(1)) << "a failed track leaves no file";
    EXPECT_EQ(tracks[2].status, kTrackDone);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper 错误");
    EXPECT_EQ(prompts.shown[0].text.rfind("错误在帧 1000 (-4:4)", 0), 0u) << prompts.shown[0].text;
}

TEST_F(WavRip, AReadErrorInTheTemporaryFilePhaseEndsTheJob) {
    settings.antiCrackle = true;
    settings.jitterMode = kJitterNever;
    insertDiscs(image.cuePath, "readerror=1010");
    rip({0, 1, 2}, kFormatOgg);
    EXPECT_EQ(tracks[1].status, kTrackFailed);
    EXPECT_EQ(tracks[2].status, 0) << "the later tracks are not touched";
    EXPECT_EQ(access((settings.outputFolder + "/lumbra_cdtmp.pcm").c_str(), F_OK), 0)
        << "the temporary file stays for a look at what was read";
}

TEST_F(WavRip, StoppingEndsTheTrackWithoutAFileAndTheJobAfterIt) {
    insertDiscs(image.cuePath);
    stopAtProgressAbove(0);
    rip({0, 1, 2}, kFormatWav);
    EXPECT_EQ(tracks[0].status, kTrackCancelled);
    EXPECT_FALSE(exists(0));
    EXPECT_EQ(tracks[1].status, 0);
}

TEST_F(WavRip, AnExistingFileIsKeptWhenTheUserSaysNo) {
    insertDiscs(image.cuePath);
    rip({1}, kFormatWav);
    const std::string first = fileText(outputFile(1, ".wav"));
    test::writeCueImage(dir.path(), "other", {10});
    std::ofstream(outputFile(1, ".wav")) << "keep me";
    settings.overwrite = false;
    prompts.answer = MessageAnswer::No;
    rip({1}, kFormatWav);
    EXPECT_EQ(tracks[1].status, kTrackCancelled);
    EXPECT_EQ(fileText(outputFile(1, ".wav")), "keep me");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].caption, "确认");
    EXPECT_EQ(prompts.shown[0].text, outputFile(1, ".wav") + " 已经存在。\n您想要覆盖它吗？");
    prompts.answer = MessageAnswer::Yes;
    rip({1}, kFormatWav);
    EXPECT_EQ(fileText(outputFile(1, ".wav")), first);
}

TEST_F(WavRip, AFullDiskFailsTheTrackAndLeavesNoTruncatedFile) {
    insertDiscs(image.cuePath);
    ripOntoAFullDisk(200000, {0, 1}, kFormatWav);
    EXPECT_EQ(tracks[0].status, kTrackFailed);
    EXPECT_FALSE(exists(0));
    EXPECT_EQ(tracks[1].status, kTrackDone) << "27 frames fit";
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown[0].text, "写入输出文件出错: \n  " + outputFile(0, ".wav"));
}

TEST_F(WavRip, OtherSettingsConvertTheSamplesAndTheHeaderDescribesThem) {
    settings.encoder.wav = {2, 0, 0};  // 48000 Hz, mono, 8 bits
    insertDiscs(image.cuePath);
    rip({2}, kFormatWav);
    ASSERT_EQ(tracks[2].status, kTrackDone);
    const std::string file = fileText(outputFile(2, ".wav"));
    const auto header = wavHeader({48000, 1, 8}, uint32_t(file.size() - 44));
    EXPECT_EQ(file.substr(0, 44), std::string(header.begin(), header.end()));
    const double seconds = double(file.size() - 44) / 48000;
    EXPECT_NEAR(seconds, 1500 / 75.0, 0.01);
}

TEST_F(WavRip, PostsProgressThenExactlyOneEnd) {
    insertDiscs(image.cuePath);
    rip({0, 1}, kFormatWav);
    const auto posted = events.events();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().message, WM_RIP_DONE);
    int done = 0;
    for (const auto& e : posted) done += e.message == WM_RIP_DONE;
    EXPECT_EQ(done, 1);
    std::vector<int32_t> firstTrack;
    for (const auto& e : posted) {
        if (e.track == &tracks[0]) firstTrack.push_back(e.status);
    }
    // 1000 frames: reads start at frames 0, 130, 260, ... so progress 0, 13, 26, ...
    ASSERT_GE(firstTrack.size(), 3u);
    EXPECT_EQ(firstTrack[0], 0);
    EXPECT_EQ(firstTrack[1], 13);
    EXPECT_EQ(firstTrack.back(), kTrackDone);
}

TEST_F(WavRip, AnOutputFolderThatCannotBeMadeStopsBeforeAnyTrack) {
    insertDiscs(image.cuePath);
    std::ofstream(dir.file("blocked")) << "a file where the folder should be";
    settings.outputFolder = dir.file("blocked");
    rip({0, 1}, kFormatWav);
    EXPECT_EQ(tracks[0].status, 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text.rfind("无法创建文件夹 ", 0), 0u) << prompts.shown[0].text;
    EXPECT_EQ(events.events().back().message, WM_RIP_DONE);
}

}  // namespace
}  // namespace lumbra
