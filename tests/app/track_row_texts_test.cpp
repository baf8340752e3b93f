// The track list's texts: the encoder summary of each format and switch, out-of-list indexes,
// progress texts at the edges of their ranges, the rip clock past an hour.
#include <gtest/gtest.h>

#include "app/track_row_texts.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

TrackEntry trackWith(int32_t format, EncoderSlots slots) {
    TrackEntry track;
    track.format = format;
    track.encoderSettings = slots;
    return track;
}

TEST(TrackRowTexts, EncoderSummaryOfEachFormatAndSwitch) {
    struct Case {
        int32_t format;
        EncoderSlots slots;
        const char* summary;
    };
    const Case cases[] = {
        {kFormatWav, toSlots(WavSettings{1, 1, 1}), "WAV - [ 44100 Hz ]"},
        {kFormatWav, toSlots(WavSettings{2, 0, 0}), "WAV - [ 48000 Hz ]"},
        // BBR wins over VBR; nominal and maximum, not minimum, are shown.
        {kFormatOgg, toSlots(OggSettings{0, 1, 0, 1, 1, 0, 1, 2, 3, 9}),
         "OGG - [ 192-256 kbps BBR ]"},
        {kFormatOgg, toSlots(OggSettings{0, 1, 0, 0, 1, 0, 0, 0, 3, 9}),
         "OGG - [ VBR Q0.45 (141 kbps) ]"},
        {kFormatOgg, toSlots(OggSettings{0, 1, 0, 0, 1, 0, 0, 0, 3, 20}),
         "OGG - [ VBR Q1.00 (477 kbps) ]"},
        {kFormatOgg, toSlots(OggSettings{0, 1, 1, 0, 0, 4, 0, 0, 3, 9}), "OGG - [ 350 kbps ]"},
        {kFormatMp3, toSlots(Mp3Settings{1, 1, 8, 1, 3, 10, 7}), "MP3 - [ 128-192 kbps VBR Q3 ]"},
        {kFormatMp3, toSlots(Mp3Settings{1, 1, 13, 0, 3, 10, 7}), "MP3 - [ 320 kbps ]"},
        {kFormatWma, toSlots(WmaSettings{0, 6, 1}), "WMA - [ 96 kbps ]"},
        {kFormatWma, toSlots(WmaSettings{0, 8, 0}), "WMA - [ 160 kbps ]"},
        {kFormatFlac, toSlots(FlacSettings{5, 1}), "FLAC - [ 级别 5 ]"},
        {kFormatFlac, toSlots(FlacSettings{0, 0}), "FLAC - [ 级别 0 ]"},
        {kFormatOpus, toSlots(OpusSettings{5}), "OPUS - [ 160 kbps ]"},
        {kFormatOpus, toSlots(OpusSettings{0}), "OPUS - [ 32 kbps ]"},
        // An index the list cannot show (a hand-edited setup.ini) shows 0 rather than failing.
        {kFormatMp3, toSlots(Mp3Settings{1, 1, -1, 0, 3, 10, 7}), "MP3 - [ 0 kbps ]"},
        {6, {}, "未知"},
        {-1, {}, "未知"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encoderSummary(trackWith(c.format, c.slots)), c.summary) << c.summary;
    }
}

TEST(TrackRowTexts, ProgressDurationAndClock) {
    const std::pair<int32_t, const char*> progress[] = {
        {0, "0%"}, {99, "99%"}, {100, "已完成"}, {101, "已停止"}, {102, "错误"}, {250, "错误"}};
    for (const auto& [status, text] : progress) EXPECT_EQ(progressText(status), text) << status;

    const std::pair<int32_t, const char*> durations[] = {
        {0, "00:00"}, {59, "00:59"}, {61, "01:01"}, {4799, "79:59"}};
    for (const auto& [seconds, text] : durations) EXPECT_EQ(durationText(seconds), text);

    EXPECT_EQ(ripClockText(1), "[00:00:01]  正在抓取..");
    EXPECT_EQ(ripClockText(3600 + 61), "[01:01:01]  正在抓取..");
    EXPECT_EQ(ripClockText(100 * 3600), "[100:00:00]  正在抓取..");
}

}  // namespace
}  // namespace lumbra
