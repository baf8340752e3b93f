// Reading the table of contents, refreshing the track list from discs in virtual drives, and
// noticing a changed disc.
#include <gtest/gtest.h>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "cdaccess/toc_validation.h"
#include "settings/settings_record.h"
#include "support/cue_image.h"
#include "support/cue_text.h"
#include "support/isolated_cd_access.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"
#include "support/toc_buffer.h"

namespace lumbra {
namespace {

class DiscRefresh : public test::IsolatedCdAccess {
protected:
    test::TempDir dir;
    test::RecordingPrompts prompts;
    SettingsRecord settings;
    std::vector<DriveEntry> drives;
    std::vector<TrackEntry> tracks;

    void startDrives(const std::string& discs) {
        startVirtualDrives(discs);
        buildDriveList(drives);
    }
};

TEST_F(DiscRefresh, ListsTracksWithTheDefaultFormatAndWholeSeconds) {
    settings.encoder.mp3 = {2, 0, 13, 1, 4, 12, 7};
    // 4,499 frames: one short of a minute.
    startDrives("demo;" + test::writeCueImage(dir.path(), "single", {4499, 1501}).cuePath);
    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_GE(tracks.size(), 5u);
    for (const TrackEntry& t : tracks) {
        EXPECT_EQ(t.format, kFormatMp3);
        EXPECT_EQ(t.encoderSettings, (EncoderSlots{2, 0, 13, 1, 4, 12, 7, 0, 0, 0}));
    }
    EXPECT_EQ(tracks.back().title, "音轨 0" + std::to_string(tracks.size()))
        << "the data track is listed too";

    ASSERT_EQ(refreshDisc(prompts, drives, 1, tracks, settings, true), 0);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].length, 4499);
    EXPECT_EQ(tracks[0].seconds, 59);
    EXPECT_EQ(tracks[1].start + tracks[1].length, 6000) << "the lead-out closes the last track";
}

// The sheet's texts come back through the drive's CD-Text packs and Q sub-channel replies; a
// disc without them refuses both, which leaves everything empty and the refresh untouched.
TEST_F(DiscRefresh, ReadsTheDiscsCdTextAndCodesWithTheTableOfContents) {
    const std::string latin = test::writeCueImage(dir.path(), "latin", {300, 200, 250}).cuePath;
    test::addCueText(latin,
                     {"CATALOG 0724384960650", "PERFORMER \"Harbour Lights\"",
                      "TITLE \"Night Shift\"", "SONGWRITER \"A. Writer\""},
                     {{"TITLE \"Opening\"", "ISRC GBAYE9900001"},
                      {"TITLE \"Café du Port\"", "PERFORMER \"Guest\""},
                      {"TITLE \"Café du Port\"", "ISRC GBAYE9900003"}});
    const std::string chinese = test::writeCueImage(dir.path(), "chinese", {300, 200}).cuePath;
    test::addCueText(chinese, {"TITLE \"纸船\"", "PERFORMER \"海港之光\""},
                     {{"TITLE \"晨潮\""}, {"TITLE \"夜の港\""}});
    const std::string plain = test::writeCueImage(dir.path(), "plain", {300, 200}).cuePath;
    startDrives(latin + ";" + chinese + ";" + plain);

    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    const DiscExtras& extras = drives[0].extras;
    EXPECT_EQ(extras.catalogue, "0724384960650");
    EXPECT_EQ(extras.cdText.entry(0).title, "Night Shift");
    EXPECT_EQ(extras.cdText.entry(0).performer, "Harbour Lights");
    EXPECT_EQ(extras.cdText.entry(0).songwriter, "A. Writer");
    EXPECT_EQ(extras.cdText.entry(2).performer, "Guest");
    EXPECT_EQ(extras.cdText.entry(3).title, "Café du Port");
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].isrc, "GBAYE9900001");
    EXPECT_EQ(tracks[1].isrc, "");
    EXPECT_EQ(tracks[2].isrc, "GBAYE9900003");

    ASSERT_EQ(refreshDisc(prompts, drives, 1, tracks, settings, true), 0);
    EXPECT_EQ(drives[1].extras.cdText.characterCode, CdTextCharacterCode::Mandarin);
    EXPECT_EQ(drives[1].extras.cdText.entry(0).performer, "海港之光");
    EXPECT_EQ(drives[1].extras.cdText.entry(2).title, "夜の港");

    ASSERT_EQ(refreshDisc(prompts, drives, 2, tracks, settings, true), 0);
    EXPECT_TRUE(drives[2].extras.cdText.empty());
    EXPECT_EQ(drives[2].extras.catalogue, "");
    EXPECT_EQ(drives[2].extras.isrcs, (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DiscRefresh, ReportsMissingDrivesAndDiscs) {
    startDrives("demo;/nonexistent/missing.cue");
    EXPECT_EQ(refreshDisc(prompts, drives, 2, tracks, settings, false), -1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "无法找到任何 CD-ROM 驱动器");
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");

    tracks.resize(3);
    EXPECT_EQ(refreshDisc(prompts, drives, 1, tracks, settings, false), -1);
    EXPECT_EQ(prompts.shown.size(), 1u) << "silent without the report flag";
    EXPECT_EQ(refreshDisc(prompts, drives, 1, tracks, settings, true), -1);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text, "无法在您的 CD-ROM 驱动器中找到任何 CD");
}

TEST_F(DiscRefresh, ASwappedOrRemovedDiscChangesTheCurrentDiscId) {
    const std::string other = test::writeCueImage(dir.path(), "other", {300, 300, 300}).cuePath;
    startDrives("demo");
    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    EXPECT_EQ(readCurrentDiscId(drives[0]), int64_t(drives[0].discId));

    insertDisc(0, other);
    const int64_t swapped = readCurrentDiscId(drives[0]);
    EXPECT_NE(swapped, int64_t(drives[0].discId));
    EXPECT_EQ(swapped & 0xFF, 3);
    insertDisc(0, "");
    EXPECT_EQ(readCurrentDiscId(drives[0]), -1);
}

class DiscToc : public test::IsolatedCdAccess {};

TEST_F(DiscToc, ReadsTheDemoTableInLbaThenInMsfForm) {
    startVirtualDrives("demo");
    const OpenDriveRequest request{
        kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    TocBuffer lba{}, msf{};
    ASSERT_EQ(readDiscToc(handle, lba), kResultDone);
    const int tracks = lba.lastTrack - lba.firstTrack + 1;
    ASSERT_GE(tracks, 5);
    EXPECT_EQ(lba.dataLength[0] << 8 | lba.dataLength[1], 2 + 8 * (tracks + 1));
    EXPECT_EQ(descriptorLba(lba.descriptors[0], false), 0);
    EXPECT_FALSE(isDataTrack(lba.descriptors[0]));
    EXPECT_TRUE(isDataTrack(lba.descriptors[tracks - 1]));
    EXPECT_EQ(lba.descriptors[tracks].trackNumber, kLeadOutTrack);

    ASSERT_EQ(setDriveParameter(handle, kParamAddressForm, 1), 1);
    ASSERT_EQ(readDiscToc(handle, msf), kResultDone);
    EXPECT_EQ(msf.descriptors[0].address[2], 2) << "00:02:00, the lead-in included";
    for (int i = 0; i <= tracks; ++i) {
        EXPECT_EQ(descriptorLba(msf.descriptors[i], true), descriptorLba(lba.descriptors[i], false))
            << i;
    }
    releaseCDHandle(handle);
}

TEST(TocValidation, RefusesTablesNoDiscCanHave) {
    const TocBuffer twoTracks = test::tocOf({{150}, {1050}}, 2150, false);
    EXPECT_TRUE(isPlausibleToc(twoTracks));
    TocBuffer toc = test::tocOf({{150}, {2250}}, 2150, false);
    EXPECT_FALSE(isPlausibleToc(toc)) << "a track starting after the lead-out";
    toc = test::tocOf({{150}}, 1050, false, 3);
    toc.lastTrack = 2;
    EXPECT_FALSE(isPlausibleToc(toc)) << "last track below the first";
    toc = twoTracks;
    toc.descriptors[2].trackNumber = 3;
    EXPECT_FALSE(isPlausibleToc(toc)) << "no lead-out where it must be";
    toc = twoTracks;
    toc.dataLength[1] = 10;
    EXPECT_FALSE(isPlausibleToc(toc)) << "a length that does not cover the tracks";
    toc = TocBuffer{};
    EXPECT_FALSE(isPlausibleToc(toc)) << "the zero table of a drive that wrote nothing";
    toc.firstTrack = 1;
    toc.lastTrack = 120;
    toc.dataLength[0] = 0xFF;
    EXPECT_FALSE(isPlausibleToc(toc)) << "more than 99 tracks";
}

}  // namespace
}  // namespace lumbra
