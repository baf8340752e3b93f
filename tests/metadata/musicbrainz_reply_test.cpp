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
    MusicBrainzRelease release{kMbid,
                               "Two\nLines",
                               "AC/DC",
                               "1999",
                               "",
                               {{"One", "AC/DC"},
                                {"Two", "Guest / Friend"},
                                {"Bad\r\nDGENRE=Rock MBRELEASE=x", ""},
                                {"Medley: A / B", "AC/DC"}}};
    const std::string text = musicBrainzDiscInfoText(release, 0x1000080a);
    EXPECT_EQ(text,
              "DISCID=1000080a\r\nDTITLE=AC／DC / Two Lines\r\nDYEAR=1999\r\nDGENRE=Disco\r\n"
              "TTITLE0=One\r\nTTITLE1=Guest ／ Friend / Two\r\n"
              "TTITLE2=Bad  DGENRE=Rock MBRELEASE=x\r\nTTITLE3=AC／DC / Medley: A / B\r\n"
              "TCREDITS=1\r\nMBRELEASE=" +
                  std::string(kMbid) + "\r\n");
    EXPECT_EQ(musicBrainzReleaseOf(text), kMbid);
    DiscRecord disc;
    std::vector<TrackEntry> tracks(4);
    applyDiscInfoText(text, disc, tracks);
    EXPECT_EQ(disc.artist, "AC／DC");
    EXPECT_EQ(disc.album, "Two Lines");
    EXPECT_EQ(disc.genre, kDefaultGenre);
    std::vector<std::string> applied;
    for (const auto& t : tracks) applied.push_back(t.artist + "|" + t.title);
    EXPECT_EQ(applied,
              (std::vector<std::string>{"|One", "Guest ／ Friend|Two",
                                        "|Bad  DGENRE=Rock MBRELEASE=x", "|Medley: A / B"}));
}

// The genre list is the program's own: a genre it does not name is passed over, however many
// voted for it, and wrong types are no votes.
TEST(MusicBrainzReply, TheGenreIsTheMostVotedThatTheGenreListNames) {
    const auto genreOf = [](const std::string& members) {
        const auto found = parseMusicBrainzReply(
            R"({"releases":[{"media":[{"discs":[{"id":"D"}]}])" + members + "}]}", "D", 0);
        return found.size() == 1 ? found[0].genre : "no release";
    };
    EXPECT_EQ(genreOf(R"(,"genres":[{"name":"rock","count":2},{"name":"synth-pop","count":9},
                        {"name":"electronic","count":5},{"name":"pop","count":5}])"),
              "Electronic");
    EXPECT_EQ(genreOf(R"(,"genres":[{"name":"jazz","count":"many"},{"name":"blues"}])"), "Jazz");
    EXPECT_EQ(genreOf(R"(,"genres":[],"release-group":{"genres":[{"name":"HIP-HOP","count":1}]})"),
              "Hip-Hop");
    EXPECT_EQ(genreOf(R"(,"genres":[{"name":"vaporwave","count":3}])"), "");
    EXPECT_EQ(genreOf(R"(,"genres":{"name":"rock"},"release-group":7)"), "");
    EXPECT_EQ(genreOf(R"(,"genres":[null,5,{"name":["rock"]},{"count":4}])"), "");

    MusicBrainzRelease release{kMbid, "A", "B", "2000", "Electronic", {}};
    DiscRecord disc;
    std::vector<TrackEntry> tracks;
    applyDiscInfoText(musicBrainzDiscInfoText(release, 1), disc, tracks);
    EXPECT_EQ(disc.genre, 52);
    release.genre.clear();
    applyDiscInfoText(musicBrainzDiscInfoText(release, 1), disc, tracks);
    EXPECT_EQ(disc.genre, kDefaultGenre) << "as before genres were asked for";
}

}  // namespace
}  // namespace lumbra
