// Refreshing the track list from discs in virtual drives, and noticing a changed disc.
#include <gtest/gtest.h>

#include <fstream>

#include "app/settings_record.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_refresh.h"
#include "cdaccess/toc_validation.h"
#include "support/isolated_cd_access.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using InsertDisc = int (*)(int, const char*);

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

    // A BIN image of `frames` frames and a CUE sheet with tracks starting at `starts`.
    std::string writeImage(const std::string& name, int frames, const std::vector<std::string>& starts) {
        std::ofstream(dir.file(name + ".bin"), std::ios::binary)
            << std::string(size_t(frames) * 2352, '\x01');
        std::ofstream cue(dir.file(name + ".cue"));
        cue << "FILE \"" << name << ".bin\" BINARY\n";
        for (size_t i = 0; i < starts.size(); ++i) {
            cue << "  TRACK " << (i < 9 ? "0" : "") << i + 1 << " AUDIO\n    INDEX 01 " << starts[i] << "\n";
        }
        return dir.file(name + ".cue");
    }
};

TEST_F(DiscRefresh, BuildsTheTrackListOfTheDemoDisc) {
    settings.encoder.mp3 = {2, 0, 13, 1, 4, 12, 7};
    startDrives("demo");
    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    EXPECT_TRUE(prompts.shown.empty());
    ASSERT_GE(tracks.size(), 5u);
    EXPECT_NE(drives[0].discId, 0u);
    EXPECT_EQ(drives[0].toc.firstTrack, 1);
    int32_t next = 0;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const TrackEntry& t = tracks[i];
        EXPECT_EQ(t.number, int(i) + 1);
        EXPECT_EQ(t.start, next);
        EXPECT_EQ(t.seconds, t.length / 75);
        EXPECT_EQ(t.format, kFormatMp3);
        EXPECT_EQ(t.encoderSettings, (EncoderSlots{2, 0, 13, 1, 4, 12, 7, 0, 0, 0}));
        EXPECT_EQ(t.checked + t.selected + t.status, 0);
        next = t.start + t.length;
    }
    EXPECT_EQ(tracks[0].title, "音轨 01");
    EXPECT_EQ(tracks.back().title, "音轨 0" + std::to_string(tracks.size()));  // the data track too
}

TEST_F(DiscRefresh, ListsACueImageWithSecondsByIntegerDivision) {
    startDrives(writeImage("single", 6000, {"00:00:00", "00:59:74"}));
    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].length, 4499);
    EXPECT_EQ(tracks[0].seconds, 59);
    EXPECT_EQ(tracks[1].start + tracks[1].length, 6000) << "the lead-out closes the last track";
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
    const std::string other = writeImage("other", 9000, {"00:00:00", "00:30:00", "01:10:00"});
    startDrives("demo");
    ASSERT_EQ(refreshDisc(prompts, drives, 0, tracks, settings, true), 0);
    EXPECT_EQ(readCurrentDiscId(drives[0]), int64_t(drives[0].discId));

    const auto insert = reinterpret_cast<InsertDisc>(transportExtension("LumbraVirtualInsertDisc"));
    ASSERT_NE(insert, nullptr);
    ASSERT_EQ(insert(0, other.c_str()), 1);
    const int64_t swapped = readCurrentDiscId(drives[0]);
    EXPECT_NE(swapped, int64_t(drives[0].discId));
    EXPECT_EQ(swapped & 0xFF, 3);
    ASSERT_EQ(insert(0, ""), 1);
    EXPECT_EQ(readCurrentDiscId(drives[0]), -1);
}

TEST(TocValidation, RefusesTablesNoDiscCanHave) {
    TocBuffer toc{};
    const auto describe = [&](int first, int last, std::initializer_list<int> starts) {
        toc = TocBuffer{};
        toc.firstTrack = uint8_t(first);
        toc.lastTrack = uint8_t(last);
        const int length = 2 + 8 * int(starts.size());
        toc.dataLength[0] = uint8_t(length >> 8);
        toc.dataLength[1] = uint8_t(length);
        int i = 0;
        for (int start : starts) {
            toc.descriptors[i].trackNumber = uint8_t(i + 1 == int(starts.size()) ? kLeadOutTrack : first + i);
            toc.descriptors[i].address[2] = uint8_t(start >> 8);
            toc.descriptors[i++].address[3] = uint8_t(start);
        }
    };
    describe(1, 2, {0, 900, 2000});
    EXPECT_TRUE(isPlausibleToc(toc));
    describe(1, 2, {0, 2100, 2000});
    EXPECT_FALSE(isPlausibleToc(toc)) << "a track starting after the lead-out";
    describe(3, 2, {0, 900});
    EXPECT_FALSE(isPlausibleToc(toc)) << "last track below the first";
    describe(1, 2, {0, 900, 2000});
    toc.descriptors[2].trackNumber = 3;
    EXPECT_FALSE(isPlausibleToc(toc)) << "no lead-out where it must be";
    describe(1, 2, {0, 900, 2000});
    toc.dataLength[1] = 10;
    EXPECT_FALSE(isPlausibleToc(toc)) << "a length that does not cover the tracks";
    describe(0, 0, {});
    EXPECT_FALSE(isPlausibleToc(toc)) << "the zero table of a drive that wrote nothing";
    toc.firstTrack = 1;
    toc.lastTrack = 120;
    toc.dataLength[0] = 0xFF;
    EXPECT_FALSE(isPlausibleToc(toc)) << "more than 99 tracks";
}

}  // namespace
}  // namespace lumbra
