// Ripping to WAV end to end: the real job, transport and virtual drive, with the drive faults
// real drives have, and the ways a track can end.
#include <gtest/gtest.h>

#include "rip/track_status.h"
#include "rip/wav_encoder.h"
#include "rip/wav_header.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

class WavRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({1000, 27, 1500});
    }

    std::string wav(int i) const { return outputFile(i, ".wav"); }
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
        shutdownCdAccess();  // the disc goes back in with these faults
        insertDiscs(image.cuePath, c.faults);
        rip({0, 1, 2}, kFormatWav);
        for (size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(std::to_string(c.mode) + " " + c.faults + ", track " + std::to_string(i));
            EXPECT_EQ(tracks[i].status, kTrackDone);
            EXPECT_TRUE(fileText(wav(int(i))).substr(44) == image.trackBytes(i));
        }
    }
}

TEST_F(WavRip, OtherSettingsConvertTheSamplesAndTheHeaderDescribesThem) {
    settings.encoder.wav = {2, 0, 0};  // 48000 Hz, mono, 8 bits
    rip({2}, kFormatWav);
    ASSERT_EQ(tracks[2].status, kTrackDone);
    const std::string file = fileText(wav(2));
    const auto header = wavHeader({48000, 1, 8}, uint32_t(file.size() - 44));
    EXPECT_EQ(file.substr(0, 44), std::string(header.begin(), header.end()));
    EXPECT_NEAR(double(file.size() - 44) / 48000, 1500 / 75.0, 0.01);
}

uint32_t le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

// 8-bit mono data of odd size is followed by a pad byte, which the RIFF size counts and the data
// size does not.
TEST(WavFile, DataOfOddSizeIsPadded) {
    for (const size_t samples : {1u, 2u, 3u, 588u}) {
        TrackToEncode track;
        track.track.encoderSettings = toSlots(WavSettings{1, 0, 0});  // 44100 Hz, mono, 8 bits
        WavEncoder encoder(track);
        MemorySink sink;
        ASSERT_TRUE(encoder.start(sink).ok());
        ASSERT_TRUE(encoder.feed(std::vector<uint8_t>(samples * 4, 0x40)).ok());
        ASSERT_TRUE(encoder.finish().ok());
        const size_t padded = samples + samples % 2;
        EXPECT_EQ(sink.bytes.size(), 44 + padded) << samples;
        EXPECT_EQ(le32(sink.bytes, 4), sink.bytes.size() - 8) << samples;
        EXPECT_EQ(le32(sink.bytes, 40), samples);
        EXPECT_EQ(sink.bytes.back() == 0, padded != samples) << "a pad byte " << samples;
    }
}

TEST_F(WavRip, PostsProgressThenExactlyOneEnd) {
    rip({0, 1}, kFormatWav);
    const auto posted = events.events();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back().message, WM_RIP_DONE);
    EXPECT_EQ(std::count_if(posted.begin(), posted.end(),
                            [](const auto& e) { return e.message == WM_RIP_DONE; }),
              1);
    // 1000 frames: reads start at frames 0, 130, 260, ... so progress 0, 13, 26, ...
    const auto firstTrack = statusesPosted(0);
    ASSERT_GE(firstTrack.size(), 3u);
    EXPECT_EQ(firstTrack[0], 0);
    EXPECT_EQ(firstTrack[1], 13);
    EXPECT_EQ(firstTrack.back(), kTrackDone);
}

TEST_F(WavRip, AnOutputFolderThatCannotBeMadeStopsBeforeAnyTrack) {
    std::ofstream(dir.file("blocked")) << "a file where the folder should be";
    settings.outputFolder = dir.file("blocked");
    rip({0, 1}, kFormatWav);
    EXPECT_EQ(tracks[0].status, 0);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text.rfind("无法创建文件夹 \"" + dir.file("blocked") + "\"：", 0),
              0u)
        << prompts.shown[0].text;
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(events.events().back().message, WM_RIP_DONE);
}

}  // namespace
}  // namespace lumbra
