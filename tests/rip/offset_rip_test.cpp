// Rips from drives that read early or late: corrected by the drive's offset, every track holds
// exactly the disc's samples (silence where they lie beyond what the drive can read), and the
// database agrees; uncorrected, the audio is shifted and the database disagrees.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "rip/offset_detection.h"
#include "rip/rip_log.h"
#include "support/accuraterip_test_server.h"
#include "support/cue_image.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

class OffsetRip : public test::RipHarness, public testing::WithParamInterface<int> {
protected:
    test::CueImage image;
    test::AccurateRipTestServer server;
    RipVerification checks;
    ReadOffsetCorrection correction;

    void SetUp() override {
        RipHarness::SetUp();
        setenv("LUMBRA_PLUGIN_DIR", LUMBRA_LAME_PLUGIN_DIR, 1);
        image = test::writeCueImage(dir.path(), "album", {40, 27, 33});
        insertDiscs("file:" + image.cuePath, "offset=" + std::to_string(GetParam()));
        checks = verificationOfDisc(drives[0].toc);
        checks.lookupEnabled = true;
        checks.config.serverHost = "127.0.0.1";
        checks.config.serverPort = server.port();
        checks.config.timeouts = {1000ms, 1000ms, 300ms, 600ms};
        checks.config.cacheFolder = dir.path() + "/cache";
        verification = &checks;
        server.setReply(test::httpReply(200, test::accurateRipBody({pressingOfImage()})));
        correction.audio = audioExtents(drives[0].toc);
    }

    AccurateRipPressing pressingOfImage() const {
        AccurateRipPressing pressing{checks.disc, {}};
        const size_t n = image.trackAudio.size();
        for (size_t t = 0; t < n; ++t) {
            TrackChecksums sums(uint32_t(image.trackAudio[t].size() / 4), t == 0, t + 1 == n);
            sums.add(image.trackAudio[t]);
            pressing.tracks.push_back({int(5 + t), sums.values().v1, 0});
        }
        return pressing;
    }

    // The image's audio with the samples the drive cannot reach silenced: the first ones of the
    // disc for a drive that reads late, the last ones for a drive that reads early.
    std::vector<uint8_t> reachableAudio(size_t t) const {
        std::vector<uint8_t> audio = image.trackAudio[t];
        const size_t silent = size_t(std::abs(GetParam())) * 4;
        if (GetParam() < 0 && t == 0) std::fill_n(audio.begin(), silent, 0);
        if (GetParam() > 0 && t + 1 == image.trackAudio.size())
            std::fill(audio.end() - ptrdiff_t(silent), audio.end(), 0);
        return audio;
    }

    void ripCorrected(int32_t format, int32_t samples) {
        correction.samples = samples;
        for (auto& track : tracks) track.checked = 0, track.status = 0;
        for (int i = 0; i < 3; ++i) {
            tracks[size_t(i)].format = format;
            applyEncoderDefaults(tracks[size_t(i)], settings.encoder);
            tracks[size_t(i)].checked = 1;
        }
        flags.ripRunning = 1;
        runRipJob({prompts, events, flags, settings, disc, drives[0].openRequest, formats,
                   verification, 0, correction},
                  tracks);
    }

    static std::vector<uint8_t> cdBytesOf(const test::DecodedAudio& decoded) {
        std::vector<uint8_t> bytes;
        for (float sample : decoded.samples) {
            const auto value = int16_t(std::lround(sample * 32768.0f));
            bytes.push_back(uint8_t(value));
            bytes.push_back(uint8_t(uint16_t(value) >> 8));
        }
        return bytes;
    }
};

TEST_P(OffsetRip, CorrectedRipHoldsTheDiscsSamplesAndIsAccurate) {
    ripCorrected(kFormatFlac, GetParam());
    const int64_t silent = std::abs(GetParam());
    for (size_t t = 0; t < 3; ++t) {
        ASSERT_EQ(tracks[t].status, kTrackDone) << "track " << t;
        const test::DecodedAudio decoded = test::decodeAudioFile(outputFile(int(t), ".flac"));
        ASSERT_TRUE(decoded.complete);
        EXPECT_TRUE(cdBytesOf(decoded) == reachableAudio(t)) << "track " << t;
        const TrackVerification& v = tracks[t].verification;
        EXPECT_EQ(v.verdict.result, AccurateRipResult::Accurate) << "track " << t;
        const bool borrowsBeyond = (GetParam() < 0 && t == 0) || (GetParam() > 0 && t == 2);
        EXPECT_EQ(v.silentSamples, borrowsBeyond ? silent : 0) << "track " << t;
    }
    const std::string log = fileText(settings.outputFolder + "/Artist/Album/Album.log");
    EXPECT_NE(log.find("Read offset correction: " + std::string(GetParam() > 0 ? "+" : "") +
                       std::to_string(GetParam())),
              std::string::npos);
    EXPECT_NE(log.find("Silent samples beyond the disc: " + std::to_string(silent)),
              std::string::npos);
}

TEST_P(OffsetRip, UncorrectedRipIsShiftedAndAMismatch) {
    ripCorrected(kFormatWav, 0);
    for (size_t t = 0; t < 3; ++t) {
        ASSERT_EQ(tracks[t].status, kTrackDone);
        EXPECT_NE(fileText(outputFile(int(t), ".wav")).substr(44),
                  std::string(image.trackAudio[t].begin(), image.trackAudio[t].end()));
        EXPECT_EQ(tracks[t].verification.verdict.result, AccurateRipResult::Mismatch);
    }
}

TEST_P(OffsetRip, DetectionFindsTheDrivesOffsetOnTwoTracks) {
    flags.ripRunning = 1;
    const OffsetDetection found =
        detectReadOffset({prompts, events, flags, settings, disc, drives[0].openRequest, formats,
                          verification, 0, correction},
                         tracks, checks);
    ASSERT_EQ(found.outcome, OffsetSearch::Found);
    ASSERT_EQ(found.candidates.size(), 1u);
    EXPECT_EQ(found.candidates[0].offset, GetParam());
    EXPECT_EQ(found.candidates[0].tracks, 2);
    EXPECT_EQ(found.candidates[0].confidence, 5) << "the lower of the two tracks' confidences";
}

INSTANTIATE_TEST_SUITE_P(DriveOffsets, OffsetRip, testing::Values(-1164, -472, 6, 667, 1776),
                         [](const auto& info) {
                             return (info.param < 0 ? "Minus" : "Plus") +
                                    std::to_string(std::abs(info.param));
                         });

// A lossy file is shifted like any other: its decoded audio lines up with the disc's at no shift.
// Anti-crackle and jitter correction on a drive that also lands off after a seek read the track in
// other ways and come to the same samples.
class OffsetRipPaths : public OffsetRip {};

TEST_P(OffsetRipPaths, LossyAndEveryReadPathCorrectAlike) {
    insertDiscs("file:" + image.cuePath, "jitter=30,seed=5,offset=" + std::to_string(GetParam()));
    settings.antiCrackle = true;
    settings.jitterMode = kJitterAlways;
    ripCorrected(kFormatWav, GetParam());
    for (size_t t = 0; t < 3; ++t) {
        EXPECT_EQ(tracks[t].verification.verdict.result, AccurateRipResult::Accurate);
        const std::vector<uint8_t>& want = reachableAudio(t);
        EXPECT_EQ(fileText(outputFile(int(t), ".wav")).substr(44),
                  std::string(want.begin(), want.end()));
    }
    settings.antiCrackle = false;
    settings.jitterMode = kJitterOnErrors;
    settings.encoderThreads = 2;
    settings.encoder.ogg = {0, 1, 0, 0, 1, 0, 0, 0, 3, 9};  // 44.1 kHz stereo, quality 9
    ripCorrected(kFormatOgg, GetParam());
    for (size_t t = 0; t < 3; ++t) {
        ASSERT_EQ(tracks[t].status, kTrackDone);
        const test::DecodedAudio decoded = test::decodeAudioFile(outputFile(int(t), ".ogg"));
        const test::AlignedMatch match =
            test::alignedSnr(test::cdSamples(reachableAudio(t)), decoded.samples,
                             {.channels = 2, .minShift = -2000, .maxShift = 2000});
        EXPECT_EQ(match.shiftFrames, 0) << "track " << t;
        EXPECT_GT(match.snrDb, 9) << "track " << t;
    }
}

TEST_P(OffsetRipPaths, DetectionTellsADiscNotInTheDatabaseFromOneNoOffsetMatches) {
    const auto detect = [this] {
        checks.lookup.reset();
        flags.ripRunning = 1;
        return detectReadOffset({prompts, events, flags, settings, disc, drives[0].openRequest,
                                 formats, verification, 0, correction},
                                tracks, checks)
            .outcome;
    };
    server.setReply(test::httpReply(404, ""));
    EXPECT_EQ(detect(), OffsetSearch::NotInDatabase);
    AccurateRipPressing other = pressingOfImage();
    other.tracks[1].checksum ^= 1;  // the first track alone matches
    server.setReply(test::httpReply(200, test::accurateRipBody({other})));
    EXPECT_EQ(detect(), OffsetSearch::NoMatch);
}

INSTANTIATE_TEST_SUITE_P(DriveOffsets, OffsetRipPaths, testing::Values(-472, 1776));

}  // namespace
}  // namespace lumbra
