// Test and copy: each track read twice and the reads compared. A read error that only the first
// read meets makes the two differ; the database's word on the written copy outranks that.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/track_row_texts.h"
#include "support/verified_rip_harness.h"

namespace lumbra {
namespace {

class TestAndCopy : public test::VerifiedRipHarness {
protected:
    TestAndCopy() {
        settings.testAndCopy = true;
        settings.jitterMode = kJitterNever;
    }
};

// Frame 30 lies in track 1's second read (the first finds the read method, trying again on
// errors): it fails that read's three attempts once, then reads. Tracks 2 and 3 read cleanly.
TEST_F(TestAndCopy, AReadErrorOfTheFirstReadOnlyMakesTheReadsDifferUnlessTheDatabaseAgrees) {
    insertCheckedImage("readerror=30:3");
    serveNotFound();
    rip({0, 1, 2}, kFormatWav);
    ASSERT_EQ(tracks[0].status, kTrackDone) << "the file is kept";
    EXPECT_TRUE(prompts.shown.empty()) << "the first read's error shows no box";
    EXPECT_TRUE(tracks[0].verification.readsDiffer());
    EXPECT_EQ(verificationText(tracks[0]), "读取不一致");
    EXPECT_EQ(fileText(outputFile(0, ".wav")).substr(44), image.trackBytes(0));
    for (size_t t : {1, 2}) {
        const TrackVerification& clean = tracks[t].verification;
        ASSERT_EQ(tracks[t].status, kTrackDone);
        ASSERT_TRUE(clean.testCrc32.has_value());
        EXPECT_EQ(*clean.testCrc32, clean.sums.crc32);
        EXPECT_EQ(verificationText(tracks[t]), "不在数据库");
    }
    const std::string log = fileText(settings.outputFolder + "/Artist/Album/Album.log");
    EXPECT_NE(log.find("the two reads differ"), std::string::npos);

    insertCheckedImage("readerror=30:3");
    serve({pressingOfImage(3)});
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
