// The web service's replies as the parser takes them: whatever is missing, of the wrong type or
// not JSON at all, it answers with fewer releases and never throws; and the text it hands on.
#include <gtest/gtest.h>

#include "metadata/disc_info_text.h"
#include "metadata/musicbrainz_reply.h"

namespace lumbra {
namespace {

constexpr const char* kMbid = "0a1b2c3d-0000-4000-8000-00000000abcd";

TEST(MusicBrainzReply, StrangeRepliesGiveFewerReleasesAndNeverThrow) {
    const char* replies[] = {
        "",
        "null",
        "[1,2]",
        R"({"releases":"none"})",
        R"({"releases":[1,"two",null,[]]})",
        R"({"releases":[{"media":{"discs":1}}]})",
        R"({"releases":[{"media":[{"discs":"x","tracks":7}]}]})",
        "{\"releases\":[{\"title\":\"\xFF\xFE\"}]}",
        R"({"releases":[{"media":[{"discs":[{"id":"D"}]}]}]} trailing)",
    };
    for (const char* reply : replies) {
        EXPECT_NO_THROW(EXPECT_TRUE(parseMusicBrainzReply(reply, "D", 1).empty()) << reply);
    }
}

TEST(MusicBrainzReply, WrongTypesReadAsEmptyTextAndOnlyAUuidIsTakenAsTheRelease) {
    const auto found = parseMusicBrainzReply(
        R"({"releases":[{"id":"../../etc","title":5,"date":"19x","artist-credit":[{"name":7,
        "joinphrase":null,"artist":{"name":"Fallback"}},{"name":"B"}],
        "media":[{"discs":[{"id":"D"}],"tracks":[{"title":null,"recording":{"title":"R",
        "artist-credit":[{"name":"Guest"}]}},{"title":"T","artist-credit":"x"}]}]},
        {"id":")" +
            std::string(kMbid) + R"(","date":"2003-02","media":[{"tracks":[{}]}]}]})",
        "D", 1);
    ASSERT_EQ(found.size(), 2u) << "the second by its one track";
    EXPECT_EQ(found[0].id, "");
    EXPECT_EQ(found[0].title, "");
    EXPECT_EQ(found[0].year, "");
    EXPECT_EQ(found[0].artist, "FallbackB");
    ASSERT_EQ(found[0].tracks.size(), 2u);
    EXPECT_EQ(found[0].tracks[0].title + "/" + found[0].tracks[0].artist, "R/Guest");
    EXPECT_EQ(found[0].tracks[1].title + "/" + found[0].tracks[1].artist, "T/");
    EXPECT_EQ(found[1].id, kMbid);
    EXPECT_EQ(found[1].year, "2003");
}

TEST(MusicBrainzReply, TheTextKeepsValuesOnTheirLinesAndNamesTheRelease) {
    MusicBrainzRelease release{
        kMbid,
        "Two\nLines",
        "AC/DC",
        "1999",
        {{"One", "AC/DC"}, {"Two", "Guest"}, {"Bad\r\nDGENRE=Rock MBRELEASE=x", ""}}};
    const std::string text = musicBrainzDiscInfoText(release, 0x1000080a);
    EXPECT_EQ(text,
              "DISCID=1000080a\r\nDTITLE=AC／DC / Two Lines\r\nDYEAR=1999\r\nDGENRE=Disco\r\n"
              "TTITLE0=One\r\nTTITLE1=Guest / Two\r\nTTITLE2=Bad  DGENRE=Rock MBRELEASE=x\r\n"
              "MBRELEASE=" +
                  std::string(kMbid) + "\r\n");
    EXPECT_EQ(musicBrainzReleaseOf(text), kMbid);
    DiscRecord disc;
    std::vector<TrackEntry> tracks(3);
    applyDiscInfoText(text, disc, tracks);
    EXPECT_EQ(disc.artist, "AC／DC");
    EXPECT_EQ(disc.album, "Two Lines");
    EXPECT_EQ(disc.genre, kDefaultGenre);
    EXPECT_EQ(tracks[0].title, "One");
    EXPECT_EQ(tracks[2].title, "Bad  DGENRE=Rock MBRELEASE=x");
}

}  // namespace
}  // namespace lumbra
