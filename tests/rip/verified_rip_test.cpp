// Whole rips checked against a loopback AccurateRip database: every format gets the verdict of
// the audio as read, a changed sample is caught in its own track only, a database that fails in
// any way never fails a track, and the rip's log and CUE sheet describe what was written.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "rip/rip_log.h"
#include "support/segment_image.h"
#include "support/verified_rip_harness.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

class VerifiedRip : public test::VerifiedRipHarness {
protected:
    // Inserts the image, the database knowing tracks 1 and 3 by v1, 2 by v2.
    void insertKnownImage() {
        insertCheckedImage();
        checks.driveDescription = "Virtual drive";
        AccurateRipPressing pressing = pressingOfImage(7);
        pressing.tracks[1].checksum = imageChecksums(1).v2;
        serve({pressing});
    }

    AccurateRipResult resultOf(int i) const {
        return tracks[size_t(i)].verification.verdict.result;
    }
};

TEST_F(VerifiedRip, EveryFormatIsAccurateWithTheDatabasesConfidence) {
    insertKnownImage();
    for (const OutputFormatEntry& format : formats) {
        rip({0, 1, 2}, format.id);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(tracks[size_t(i)].status, kTrackDone) << format.name << " track " << i;
            const AccurateRipVerdict& verdict = tracks[size_t(i)].verification.verdict;
            EXPECT_EQ(verdict.result, AccurateRipResult::Accurate) << format.name << " " << i;
            EXPECT_EQ(verdict.confidence, 7 + i) << format.name;
            EXPECT_EQ(verdict.matchedV2, i == 1) << format.name;
        }
    }
    // Once per disc: the later rips use the first one's answer.
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_NE(server.requests()[0].find(accurateRipPath(checks.disc)), std::string::npos);
}

TEST_F(VerifiedRip, OneChangedSampleIsAMismatchOfItsTrackOnly) {
    insertKnownImage();
    {
        std::fstream bin(dir.path() + "/album.bin",
                         std::ios::in | std::ios::out | std::ios::binary);
        bin.seekp(std::streamoff(40 * 2352 + 5000 * 4));
        bin.put(char(image.trackAudio[1][5000 * 4] ^ 0x10));
    }
    settings.antiCrackle = true;  // through the temporary file as well
    rip({0, 1, 2}, kFormatWav);
    EXPECT_EQ(resultOf(0), AccurateRipResult::Accurate);
    EXPECT_EQ(resultOf(1), AccurateRipResult::Mismatch);
    EXPECT_EQ(resultOf(2), AccurateRipResult::Accurate);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
}

TEST_F(VerifiedRip, DatabaseFailuresNeverFailATrack) {
    struct Case {
        const char* what;
        std::string reply;
        AccurateRipResult expected;
    };
    insertCheckedImage();
    AccurateRipPressing otherDisc = pressingOfImage(7);
    otherDisc.id.id2 ^= 1;
    const std::vector<Case> cases = {
        {"404", test::httpReply(404, ""), AccurateRipResult::NotInDatabase},
        {"truncated",
         test::httpReply(200, test::accurateRipBody({pressingOfImage(7)}).substr(0, 30)),
         AccurateRipResult::Unavailable},
        {"another disc", test::httpReply(200, test::accurateRipBody({otherDisc})),
         AccurateRipResult::Unavailable},
    };
    for (const Case& c : cases) {
        server.setReply(c.reply);
        checks.lookup.reset();  // as for a disc never ripped before
        rip({0, 1, 2}, kFormatWav);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(tracks[size_t(i)].status, kTrackDone) << c.what;
            EXPECT_EQ(resultOf(i), c.expected) << c.what;
        }
    }
}

TEST_F(VerifiedRip, SilentServerHoldsTheRipOnlyForItsTimeOuts) {
    insertCheckedImage();
    server.neverAnswer();
    const auto started = std::chrono::steady_clock::now();
    rip({0, 1, 2}, kFormatWav);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tracks[size_t(i)].status, kTrackDone);
        EXPECT_EQ(resultOf(i), AccurateRipResult::Unavailable);
    }
}

TEST_F(VerifiedRip, EnhancedCdFingerprintCountsTheSecondSessionOnlyInTheLeadOut) {
    // Audio at 0, 100 and 300; the data track 11,400 frames after the audio's end, at 12,000.
    const auto enhanced = test::writeSegmentImage(
        dir.path(), "enhanced", {{{{100}}}, {{{200}}}, {{{300}}}, {{{50}}, true, true}});
    insertDiscs("file:" + enhanced.cuePath);
    const RipVerification disc = verificationOfDisc(drives[0].toc);
    EXPECT_EQ(accurateRipIdText(disc.disc), "003-000030a2-0000c095-1400a004");
    EXPECT_EQ(disc.audioNumbers, (std::vector<int>{1, 2, 3, 0}));
}

std::map<std::string, std::string> logFields(const std::string& text, int track) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(text);
    bool inTrack = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("Track ")) inTrack = line == "Track " + std::to_string(track);
        const size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        const std::string key = line.substr(0, colon), value = line.substr(colon + 2);
        if (!key.starts_with("  ")) fields[key] = value;
        if (inTrack && key.starts_with("  ")) fields[key.substr(2)] = value;
    }
    return fields;
}

TEST_F(VerifiedRip, LogAndCueSheetDescribeTheRipAndRipAgainToTheSameFiles) {
    insertKnownImage();
    disc.album = "Album: \"Live\"";
    disc.catalogue = "0724384960650";
    tracks[1].isrc = "GBAYE9900123";
    rip({0, 1, 2}, kFormatWav);
    const std::string folder = settings.outputFolder + "/Artist/Album_ _Live_/";
    const std::string log = fileText(folder + "Album_ _Live_.log");
    EXPECT_EQ(logFields(log, 1)["AccurateRip disc ID"], accurateRipIdText(checks.disc));
    EXPECT_EQ(logFields(log, 1)["Drive"], "Virtual drive");
    for (int i = 0; i < 3; ++i) {
        const TrackVerification& v = tracks[size_t(i)].verification;
        auto fields = logFields(log, i + 1);
        char crc[9];
        std::snprintf(crc, sizeof crc, "%08X", v.sums.crc32);
        EXPECT_EQ(fields["CRC32"], crc);
        EXPECT_EQ(fields["File"], folder + tracks[size_t(i)].title + ".wav");
        EXPECT_EQ(fields["AccurateRip"],
                  "accurate " + std::to_string(7 + i) + (i == 1 ? " (v2)" : " (v1)"));
    }
    EXPECT_TRUE(log.ends_with("\nAll tracks accurate\n")) << log;
    EXPECT_EQ(logFields(log, 1)["Catalogue number"], "0724384960650");
    EXPECT_EQ(logFields(log, 2)["ISRC"], "GBAYE9900123");
    EXPECT_EQ(logFields(log, 3).count("ISRC"), 0u) << "a track without a code has no line";

    std::vector<std::string> firstRip;
    for (int i = 0; i < 3; ++i) firstRip.push_back(fileText(outputFile(i, ".wav")));
    const std::string sheet = folder + "Album_ _Live_.cue";
    EXPECT_NE(fileText(sheet).find("TITLE \"Album: 'Live'\"\nCATALOG 0724384960650\n"),
              std::string::npos);
    EXPECT_NE(fileText(sheet).find("    ISRC GBAYE9900123\n"), std::string::npos);
    insertDiscs("file:" + sheet);
    ASSERT_EQ(tracks.size(), 3u);
    verification = nullptr;
    settings.outputFolder = dir.path() + "/again";
    rip({0, 1, 2}, kFormatWav);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(fileText(outputFile(i, ".wav")) == firstRip[size_t(i)]) << "track " << i;
    }
}

// A compilation's sheet names each track's own performer, and the album's for the rest.
TEST(CueSheet, ATrackWithItsOwnArtistHasItAsItsPerformer) {
    DiscRecord disc;
    disc.artist = "Various";
    disc.album = "Hits";
    TrackEntry guest, own;
    guest.artist = "Guest";
    guest.status = own.status = kTrackDone;
    const LoggedTrack logged[] = {{&guest, "/m/Guest _ One.wav"}, {&own, "/m/Two.wav"}};
    const std::string sheet = cueSheetText(disc, logged);
    EXPECT_NE(sheet.find("TRACK 01 AUDIO\n    TITLE \"\"\n    PERFORMER \"Guest\"\n"),
              std::string::npos)
        << sheet;
    EXPECT_NE(sheet.find("TRACK 02 AUDIO\n    TITLE \"\"\n    PERFORMER \"Various\"\n"),
              std::string::npos)
        << sheet;
}

}  // namespace
}  // namespace lumbra
