// Test and copy: each track read twice and the reads compared. A read error that only the first
// read meets makes the two differ; the database's word on the written copy outranks that.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "app/track_row_texts.h"
#include "support/accuraterip_test_server.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

class TestAndCopy : public test::RipHarness {
protected:
    test::CueImage image;
    test::AccurateRipTestServer server;
    RipVerification checks;

    void insert(const std::string& faults) {
        image = test::writeCueImage(dir.path(), "album", {40, 27, 33});
        insertDiscs("file:" + image.cuePath, faults);
        checks = verificationOfDisc(drives[0].toc);
        checks.lookupEnabled = true;
        checks.config.serverHost = "127.0.0.1";
        checks.config.serverPort = server.port();
        checks.config.timeouts = {1000ms, 1000ms, 300ms, 600ms};
        checks.config.cacheFolder = dir.path() + "/cache";
        verification = &checks;
        settings.testAndCopy = true;
        settings.jitterMode = kJitterNever;
    }

    AccurateRipPressing pressingOfImage() const {
        AccurateRipPressing pressing{checks.disc, {}};
        for (size_t t = 0; t < 3; ++t) {
            TrackChecksums sums(uint32_t(image.trackAudio[t].size() / 4), t == 0, t == 2);
            sums.add(image.trackAudio[t]);
            pressing.tracks.push_back({3, sums.values().v1, 0});
        }
        return pressing;
    }
};

TEST_F(TestAndCopy, CleanReadsAgree) {
    insert("");
    server.setReply(test::httpReply(404, ""));
    rip({0, 1, 2}, kFormatWav);
    for (size_t t = 0; t < 3; ++t) {
        const TrackVerification& v = tracks[t].verification;
        ASSERT_EQ(tracks[t].status, kTrackDone);
        ASSERT_TRUE(v.testCrc32.has_value());
        EXPECT_EQ(*v.testCrc32, v.sums.crc32);
        EXPECT_EQ(verificationText(tracks[t]), "不在数据库");
    }
}

// Frame 30 lies in track 1's second read (the first finds the read method, trying again on
// errors): it fails that read's three attempts once, then reads.
TEST_F(TestAndCopy, AReadErrorOfTheFirstReadOnlyMakesTheReadsDifferUnlessTheDatabaseAgrees) {
    insert("readerror=30:3");
    server.setReply(test::httpReply(404, ""));
    rip({0, 1, 2}, kFormatWav);
    ASSERT_EQ(tracks[0].status, kTrackDone) << "the file is kept";
    EXPECT_TRUE(prompts.shown.empty()) << "the first read's error shows no box";
    EXPECT_TRUE(tracks[0].verification.readsDiffer());
    EXPECT_EQ(verificationText(tracks[0]), "读取不一致");
    EXPECT_EQ(fileText(outputFile(0, ".wav")).substr(44),
              std::string(image.trackAudio[0].begin(), image.trackAudio[0].end()));
    EXPECT_FALSE(tracks[1].verification.readsDiffer());
    EXPECT_FALSE(tracks[2].verification.readsDiffer());
    const std::string log = fileText(settings.outputFolder + "/Artist/Album/Album.log");
    EXPECT_NE(log.find("the two reads differ"), std::string::npos);

    insert("readerror=30:3");
    server.setReply(test::httpReply(200, test::accurateRipBody({pressingOfImage()})));
    rip({0}, kFormatWav);
    EXPECT_TRUE(tracks[0].verification.readsDiffer());
    EXPECT_EQ(verificationText(tracks[0]), "准确 (置信度 3)");
}

// One run over both reads, whichever way the track is written: the test read fills the first
// half, the copy the second, and the status never falls back.
TEST_F(TestAndCopy, ProgressRunsOnceOverBothReads) {
    image = test::writeCueImage(dir.path(), "long", {600, 300});
    insertDiscs("file:" + image.cuePath);
    checks = verificationOfDisc(drives[0].toc);  // the database is not asked
    verification = &checks;
    settings.testAndCopy = true;
    settings.jitterMode = kJitterNever;
    struct Path {
        const char* name;
        int32_t format;
        bool antiCrackle;
        int threads;
    };
    for (const Path& path : {Path{"from the drive", kFormatWav, false, 1},
                             Path{"through the temporary file", kFormatOgg, true, 1},
                             Path{"on encoder threads", kFormatOgg, false, 2}}) {
        settings.antiCrackle = path.antiCrackle;
        settings.encoderThreads = path.threads;
        const size_t before = events.events().size();
        rip({0, 1}, path.format);
        const std::vector<int32_t> statuses = statusesPosted(0, before);
        ASSERT_FALSE(statuses.empty()) << path.name;
        EXPECT_EQ(statuses.back(), kTrackDone) << path.name;
        EXPECT_TRUE(std::is_sorted(statuses.begin(), statuses.end())) << path.name;
        EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(), [](int32_t s) {
            return s > 0 && s < 50;
        })) << path.name;
        EXPECT_TRUE(std::any_of(statuses.begin(), statuses.end(), [](int32_t s) {
            return s > 50 && s < kTrackDone;
        })) << path.name;
    }
}

}  // namespace
}  // namespace lumbra
