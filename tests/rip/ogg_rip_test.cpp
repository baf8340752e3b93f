// Ripping to Ogg Vorbis end to end: the real job, transport and virtual drive, the files checked
// by decoding them as a player would.
#include <gtest/gtest.h>

#include <vorbis/vorbisenc.h>

#include "rip/track_status.h"
#include "support/ogg_decoding.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

constexpr OggSettings kDefaultOgg{0, 1, 0, 0, 1, 0, 0, 0, 3, 9};
// The test audio decodes at about 13 dB (its noise floor is not kept sample for sample); the
// same audio a frame off, another track's audio or silence stay below 5 dB.
constexpr double kMinimumSnr = 9.0;

using Comments = std::vector<std::pair<std::string, std::string>>;

OggSettings withMode(int cbr, int bbr, int bitrate, int bbrMin, int bbrNominal, int bbrMax) {
    OggSettings s = kDefaultOgg;
    s.cbr = cbr, s.bbr = bbr, s.vbr = 0, s.bitrate = bitrate;
    s.bbrMin = bbrMin, s.bbrNominal = bbrNominal, s.bbrMax = bbrMax;
    return s;
}

class OggRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        insertImage({600, 27, 400, 27});
    }

    // Rips the given tracks, each with settings of its own, in one job.
    void ripEach(const std::vector<std::pair<int, OggSettings>>& jobs) {
        std::vector<int> ticked;
        for (const auto& [i, ogg] : jobs) {
            tracks[size_t(i)].format = kFormatOgg;
            tracks[size_t(i)].encoderSettings = toSlots(ogg);
            ticked.push_back(i);
        }
        runJob(ticked);
    }

    std::string path(int i) const { return outputFile(i, ".ogg"); }
    test::DecodedOgg decoded(int i) const { return test::decodeOgg(path(i)); }
    int64_t cdSamples(int i) const { return int64_t(tracks[size_t(i)].length) * 588; }

    void expectTheTracksAudio(int i) {
        SCOPED_TRACE("track " + std::to_string(i));
        EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
        const auto ogg = decoded(i);
        ASSERT_TRUE(ogg.opened);
        EXPECT_EQ(ogg.channels, 2);
        EXPECT_EQ(ogg.sampleRate, 44100);
        EXPECT_EQ(ogg.declaredFrames, cdSamples(i));
        EXPECT_EQ(int64_t(ogg.samples.size()), 2 * cdSamples(i));
        EXPECT_GT(
            test::alignedSnr(test::cdSamples(image.trackAudio[size_t(i)]), ogg.samples, {2}).snrDb,
            kMinimumSnr);
    }
};

TEST_F(OggRip, DefaultSettingsGiveEachTracksAudioWithAnEndedStream) {
    rip({0, 1, 2}, kFormatOgg);
    for (int i = 0; i < 3; ++i) {
        expectTheTracksAudio(i);
        const auto pages = test::oggPageFlags(fileText(path(i)));
        ASSERT_GE(pages.size(), 3u);
        EXPECT_EQ(pages.front() & 2, 2);
        for (size_t p = 0; p + 1 < pages.size(); ++p) EXPECT_EQ(pages[p] & 4, 0) << p;
        EXPECT_EQ(pages.back() & 4, 4) << "the last page ends the stream";
    }
}

TEST_F(OggRip, EachModeReachesTheIdentificationHeader) {
    // Quality 0.45 shows as the nominal rate libvorbis derives from it (0.40 and 0.50 derive
    // others) with no bounds, which any managed stream would carry.
    vorbis_info vbr;
    vorbis_info_init(&vbr);
    ASSERT_EQ(vorbis_encode_init_vbr(&vbr, 2, 44100, 0.45f), 0);
    const struct {
        const char* what;
        OggSettings settings;
        long lower, nominal, upper;
    } cases[] = {
        {"default", kDefaultOgg, vbr.bitrate_lower, vbr.bitrate_nominal, vbr.bitrate_upper},
        {"BBR 0/0/3", withMode(0, 1, 0, 0, 0, 3), 128000, 128000, 256000},
        {"constant, CBR flag off", withMode(0, 0, 2, 0, 0, 0), 192000, 192000, 192000},
        {"constant, CBR flag on", withMode(1, 0, 1, 4, 4, 4), 160000, 160000, 160000},
    };
    vorbis_info_clear(&vbr);
    for (const auto& c : cases) {
        ripEach({{1, c.settings}});
        const auto ogg = decoded(1);
        EXPECT_EQ(std::tie(ogg.lowerBitrate, ogg.nominalBitrate, ogg.upperBitrate),
                  std::tie(c.lower, c.nominal, c.upper))
            << c.what;
        EXPECT_EQ(ogg.declaredFrames, cdSamples(1)) << c.what;
    }
}

// A field the disc has no value for is left out, not written empty; genre 0 is a genre.
TEST_F(OggRip, CommentsLeaveOutTheFieldsTheDiscHasNoValueFor) {
    disc.year.clear();
    disc.album.clear();
    disc.genre = 0;
    settings.namingTemplate = "<Title>";
    rip({1}, kFormatOgg);
    EXPECT_EQ(test::decodeOgg(settings.outputFolder + "/" + tracks[1].title + ".ogg").comments,
              (Comments{{"ENCODER", "Lumbra CD Ripper"},
                        {"TITLE", tracks[1].title},
                        {"ARTIST", "Artist"},
                        {"GENRE", "Blues"},
                        {"TRACKNUMBER", "2"},
                        {"TRACKTOTAL", "4"}}));
}

// Settings the encoder refuses fail only their track; the tracks after them still get their own.
TEST_F(OggRip, EachTrackGetsItsOwnSettingsInOneJob) {
    const OggSettings minAboveMax = withMode(0, 1, 0, 4, 0, 0);  // 350 > 128 kbit/s
    OggSettings mono48 = kDefaultOgg;
    mono48.sampleRate = 1, mono48.channels = 0;
    OggSettings surround = kDefaultOgg;
    surround.channels = 2;  // "5.1": the CD fills two channels
    OggSettings monoAt350 = withMode(1, 0, 4, 0, 0, 0);
    monoAt350.channels = 0;
    ripEach({{0, mono48}, {1, minAboveMax}, {2, surround}, {3, monoAt350}});
    for (int i : {1, 3}) {
        EXPECT_EQ(tracks[size_t(i)].status, kTrackFailed);
        EXPECT_FALSE(exists(path(i)));
    }
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text,
              "Ogg Vorbis 编码器不接受这些设置: BBR 最小 350 kbps / 标称 128 kbps / 最大 128 kbps, "
              "44100 Hz, 立体声\n  " +
                  path(1));
    EXPECT_EQ(prompts.shown[1].text,
              "Ogg Vorbis 编码器不接受这些设置: CBR 350 kbps, 44100 Hz, 单声道\n  " + path(3));

    EXPECT_EQ(tracks[0].status, kTrackDone);
    const auto mono = decoded(0);
    EXPECT_EQ(mono.channels, 1);
    EXPECT_EQ(mono.sampleRate, 48000);
    EXPECT_NEAR(double(mono.samples.size()), double(cdSamples(0)) * 48000 / 44100, 2)
        << "a stream as long as the track";
    EXPECT_EQ(mono.declaredFrames, int64_t(mono.samples.size()));
    expectTheTracksAudio(2);
}

}  // namespace
}  // namespace lumbra
