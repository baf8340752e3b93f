// Rips from drives that read early or late: corrected by the drive's offset, every track holds
// exactly the disc's samples (silence where they lie beyond what the drive can read), and the
// database agrees; uncorrected, the audio is shifted and the database disagrees.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "rip/offset_detection.h"
#include "rip/rip_log.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/signal_to_noise.h"
#include "support/verified_rip_harness.h"

namespace lumbra {
namespace {

class OffsetRip : public test::VerifiedRipHarness, public testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        VerifiedRipHarness::SetUp();
        insertCheckedImage("offset=" + std::to_string(GetParam()));
        serve({pressingOfImage(5)});
        correction.audio = audioExtents(drives[0].toc);
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
        rip({0, 1, 2}, format);
    }
};

TEST_P(OffsetRip, CorrectedRipHoldsTheDiscsSamplesAndIsAccurate) {
    ripCorrected(kFormatFlac, GetParam());
    const int64_t silent = std::abs(GetParam());
    for (size_t t = 0; t < 3; ++t) {
        ASSERT_EQ(tracks[t].status, kTrackDone) << "track " << t;
        const test::DecodedAudio decoded = test::decodeAudioFile(outputFile(int(t), ".flac"));
        ASSERT_TRUE(decoded.complete);
        EXPECT_TRUE(decoded.cdBytes() == reachableAudio(t)) << "track " << t;
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
        EXPECT_NE(fileText(outputFile(int(t), ".wav")).substr(44), image.trackBytes(t));
        EXPECT_EQ(tracks[t].verification.verdict.result, AccurateRipResult::Mismatch);
    }
}

TEST_P(OffsetRip, DetectionFindsTheDrivesOffsetOnTwoTracks) {
    flags.ripRunning = 1;
    const OffsetDetection found = detectReadOffset(session(), tracks, checks);
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
        return detectReadOffset(session(), tracks, checks).outcome;
    };
    serveNotFound();
    EXPECT_EQ(detect(), OffsetSearch::NotInDatabase);
    AccurateRipPressing other = pressingOfImage(5);
    other.tracks[1].checksum ^= 1;  // the first track alone matches
    serve({other});
    EXPECT_EQ(detect(), OffsetSearch::NoMatch);
}

INSTANTIATE_TEST_SUITE_P(DriveOffsets, OffsetRipPaths, testing::Values(-472, 1776));

}  // namespace
}  // namespace lumbra
