// What every output format must do alike, run once per row of the format table through the real
// job, transport and virtual drive: each route gives each track's audio (to the sample, where the
// format is gapless), a stop leaves no file, and a full disk fails only the track that did not
// fit. A format's own decoding and quality checks live in its own file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "rip/track_status.h"
#include "support/ffmpeg_audio_decoder.h"
#include "support/rip_harness.h"
#include "support/signal_to_noise.h"

namespace lumbra {
namespace {

// Every lossy format at its defaults keeps well above this; another track's audio stays below 1.
constexpr double kLowestSnrDb = 12;
constexpr double kDurationTolerance = 0.1;

std::vector<int32_t> formatIds() {
    std::vector<int32_t> ids;
    for (const auto& format : outputFormats()) ids.push_back(format.id);
    return ids;
}

class FormatRip : public test::RipHarness, public ::testing::WithParamInterface<int32_t> {
protected:
    const OutputFormatEntry& format = *findOutputFormat(outputFormats(), GetParam());

    void SetUp() override {
        RipHarness::SetUp();
        insertImage({1000, 27, 600});
    }

    // Read along, and for the formats that encode behind the drive, read into the temporary
    // file first.
    std::vector<bool> routes() const {
        if (format.encodesBehindDrive) return {false, true};
        return {false};
    }
    std::string file(int i) const { return outputFile(i, format.extension); }

    void expectTheTracksAudio(int i) {
        SCOPED_TRACE("track " + std::to_string(i));
        ASSERT_EQ(tracks[size_t(i)].status, kTrackDone);
        const auto audio = test::decodeAudioFile(file(i));
        EXPECT_TRUE(audio.complete);
        const double seconds = tracks[size_t(i)].length / 75.0;
        const bool gapless = format.id != kFormatWma;
        if (gapless) {
            EXPECT_EQ(audio.frames(), size_t(std::lround(seconds * audio.sampleRate)));
        } else {
            EXPECT_NEAR(audio.decodedSeconds(), seconds, kDurationTolerance);
        }
        // Opus always decodes at 48 kHz; its own test measures it at the CD's rate.
        if (audio.sampleRate != 44100) return;
        if (gapless) {
            const auto aligned = test::alignedSnr(test::cdSamples(image.trackAudio[size_t(i)]),
                                                  audio.samples, {2, -1200, 1200});
            EXPECT_EQ(aligned.shiftFrames, 0) << "a gapless player hears the track where it starts";
        }
        EXPECT_GT(test::monoSnrDb(audio.samples, audio.channels, image.trackAudio[size_t(i)]),
                  kLowestSnrDb);
        EXPECT_LT(test::monoSnrDb(audio.samples, audio.channels, image.trackAudio[2 - size_t(i)]),
                  1)
            << "another track's audio must not pass for this one";
    }
};

TEST_P(FormatRip, EachRouteGivesEachTracksAudioAndProgressToTheEnd) {
    for (const bool throughTemporaryFile : routes()) {
        SCOPED_TRACE(routeName(throughTemporaryFile));
        settings.antiCrackle = throughTemporaryFile;
        const size_t firstPost = events.events().size();
        rip({0, 2}, format.id);
        for (int i : {0, 2}) expectTheTracksAudio(i);
        EXPECT_EQ(partFilesLeft(), 0u);
        EXPECT_TRUE(prompts.shown.empty());
        const auto statuses = statusesPosted(0, firstPost);
        ASSERT_GE(statuses.size(), 3u);
        EXPECT_TRUE(std::is_sorted(statuses.begin(), statuses.end()));
        EXPECT_EQ(statuses.back(), kTrackDone);
        if (!throughTemporaryFile) continue;
        // Reading fills the first part of the bar, encoding from the file the rest.
        EXPECT_NE(std::find(statuses.begin(), statuses.end(), 40), statuses.end());
        EXPECT_GT(std::count_if(statuses.begin(), statuses.end(),
                                [](int s) { return s > 40 && s < kTrackDone; }),
                  1);
    }
}

// Straight from the CD the job ends with the stopped track. Through the temporary file the
// drive reads on while a track is encoded, so the next track may end stopped too.
TEST_P(FormatRip, StoppingLeavesNoFileOnEitherRoute) {
    settings.id3Enable = true;
    for (const bool throughTemporaryFile : routes()) {
        SCOPED_TRACE(routeName(throughTemporaryFile));
        settings.antiCrackle = throughTemporaryFile;
        stopAtProgressAbove(throughTemporaryFile ? 40 : 0);
        rip({0, 2}, format.id);
        EXPECT_EQ(tracks[0].status, kTrackCancelled);
        EXPECT_TRUE(tracks[2].status == 0 ||
                    (throughTemporaryFile && tracks[2].status == kTrackCancelled))
            << tracks[2].status;
        for (int i : {0, 2}) EXPECT_FALSE(exists(file(i))) << "track " << i;
        EXPECT_EQ(partFilesLeft(), 0u);
    }
}

TEST_P(FormatRip, AFullDiskFailsTheTrackAndLeavesNoTruncatedFile) {
    expectAFullDiskFailsOnlyTrackZero(100000, format.id, format.extension);
}

INSTANTIATE_TEST_SUITE_P(EachFormat, FormatRip, ::testing::ValuesIn(formatIds()),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             std::string name = findOutputFormat(outputFormats(), info.param)->name;
                             std::erase_if(name, [](char c) { return !std::isalnum(c); });
                             return name;
                         });

}  // namespace
}  // namespace lumbra
