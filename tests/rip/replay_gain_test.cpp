// Loudness measured while the tracks are read, against FFmpeg's ebur128 filter on the same
// audio; the album's values in every track of a finished rip and in none of a stopped one.
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <cmath>
#include <regex>

#include "rip/loudness.h"
#include "rip/track_status.h"
#include "support/command_output.h"
#include "support/rip_harness.h"
#include "support/wave_file.h"

namespace lumbra {
namespace {

struct FfmpegLoudness {
    double integrated = 0.0;  // LUFS
    double peakDb = 0.0;      // sample peak, dBFS
};

// The summary FFmpeg's filter prints at the end of its run.
FfmpegLoudness ffmpegLoudness(const std::string& wave) {
    const std::string output =
        test::runCommand("ffmpeg -hide_banner -nostats -i " + test::shellQuoted(wave) +
                         " -af ebur128=peak=sample -f null - 2>&1")
            .out;
    const std::string summary = output.substr(output.rfind("Summary:"));
    std::smatch integrated, peak;
    EXPECT_TRUE(std::regex_search(summary, integrated, std::regex(R"(I:\s+(-?[\d.]+) LUFS)")))
        << output;
    EXPECT_TRUE(std::regex_search(summary, peak, std::regex(R"(Peak:\s+(-?[\d.]+|-inf) dBFS)")))
        << output;
    return {std::stod(integrated[1]), std::stod(peak[1])};
}

std::vector<uint8_t> concatenated(const std::vector<std::vector<uint8_t>>& tracks) {
    std::vector<uint8_t> all;
    for (const auto& track : tracks) all.insert(all.end(), track.begin(), track.end());
    return all;
}

double parsed(const TagLib::String& text) {
    return std::stod(text.to8Bit(true));
}

class ReplayGainRip : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        settings.replayGain = true;
        insertImage({900, 600, 1200});
    }

    TagLib::PropertyMap tagsOf(int track, const std::string& extension) const {
        return TagLib::FileRef(outputFile(track, extension).c_str(), false).file()->properties();
    }
};

TEST_F(ReplayGainRip, GainsMatchFfmpegAndEveryTrackCarriesTheAlbumsValues) {
    rip({0, 1, 2}, kFormatOgg);
    std::set<std::string> albumGains;
    for (int t = 0; t < 3; ++t) {
        SCOPED_TRACE(t);
        ASSERT_EQ(tracks[size_t(t)].status, kTrackDone);
        const std::string wave = dir.path() + "/track" + std::to_string(t) + ".wav";
        test::writeCdWaveFile(wave, image.trackAudio[size_t(t)]);
        const FfmpegLoudness reference = ffmpegLoudness(wave);
        TagLib::PropertyMap tags = tagsOf(t, ".ogg");
        EXPECT_NEAR(parsed(tags["REPLAYGAIN_TRACK_GAIN"].front()), -18.0 - reference.integrated,
                    0.1);
        EXPECT_NEAR(20 * std::log10(parsed(tags["REPLAYGAIN_TRACK_PEAK"].front())),
                    reference.peakDb, 0.1);
        albumGains.insert(tags["REPLAYGAIN_ALBUM_GAIN"].front().to8Bit());
    }
    ASSERT_EQ(albumGains.size(), 1u) << "one album gain in every track";
    const std::string whole = dir.path() + "/album.wav";
    test::writeCdWaveFile(whole, concatenated(image.trackAudio));
    EXPECT_NEAR(std::stod(*albumGains.begin()), -18.0 - ffmpegLoudness(whole).integrated, 0.1);
}

// MP3 keeps them in TXXX frames, WMA in attributes; Opus in its own R128 form is checked with
// its writer.
TEST_F(ReplayGainRip, Mp3AndWmaCarryThemInTheirOwnForms) {
    settings.id3Enable = true;  // without it an MP3 file gets no tags at all
    rip({0, 1}, kFormatMp3);
    const TagLib::PropertyMap mp3 = tagsOf(1, ".mp3");
    EXPECT_TRUE(mp3.contains("REPLAYGAIN_TRACK_GAIN"));
    EXPECT_EQ(mp3["REPLAYGAIN_ALBUM_GAIN"], tagsOf(0, ".mp3")["REPLAYGAIN_ALBUM_GAIN"]);

    rip({0, 1}, kFormatWma);
    TagLib::ASF::File wma(outputFile(1, ".wma").c_str(), false);
    ASSERT_TRUE(wma.isValid());
    EXPECT_TRUE(wma.tag()->contains("replaygain_track_gain"));
    EXPECT_TRUE(wma.tag()->contains("replaygain_album_peak"));
}

TEST_F(ReplayGainRip, AStoppedRipWritesNoAlbumGainAndTheSettingSwitchesItOff) {
    settings.encoderThreads = 1;  // track 0 is done before track 1 is read
    events.onPost = [this, first = true](const test::PostedEvent& e) mutable {
        if (e.message == WM_RIP_PROGRESS && e.track == &tracks[1] && e.status > 50 &&
            e.status < kTrackDone && first) {
            first = false;
            flags.ripRunning = 0;
        }
    };
    rip({0, 1, 2}, kFormatOgg);
    ASSERT_EQ(tracks[0].status, kTrackDone);
    EXPECT_TRUE(tagsOf(0, ".ogg").contains("REPLAYGAIN_TRACK_GAIN"));
    EXPECT_FALSE(tagsOf(0, ".ogg").contains("REPLAYGAIN_ALBUM_GAIN"));

    events.onPost = nullptr;
    settings.replayGain = false;
    rip({0}, kFormatOgg);
    EXPECT_FALSE(tagsOf(0, ".ogg").contains("REPLAYGAIN_TRACK_GAIN"));
}

TEST(LoudnessMeter, PeaksOfAClippedSignalAndSilence) {
    std::vector<uint8_t> clipped(44100 * 4);
    for (size_t i = 0; i < clipped.size() / 2; ++i) {
        const double wave = 1.6 * std::sin(2 * M_PI * 997.0 * double(i / 2) / 44100.0);
        const auto sample = int16_t(std::clamp(wave * 32768.0, -32768.0, 32767.0));
        clipped[2 * i] = uint8_t(sample);
        clipped[2 * i + 1] = uint8_t(uint16_t(sample) >> 8);
    }
    LoudnessMeter meter;
    meter.add(clipped);
    EXPECT_DOUBLE_EQ(meter.trackGain().peak, 1.0) << "-32768 is full scale";

    LoudnessMeter silence;
    silence.add(std::vector<uint8_t>(44100 * 4));
    EXPECT_EQ(silence.trackGain().gain, 0.0);
    EXPECT_EQ(silence.trackGain().peak, 0.0);
}

}  // namespace
}  // namespace lumbra
