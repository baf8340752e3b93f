#include "metadata/disc_info_text.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

using namespace std::string_literals;

struct Applied {
    DiscRecord record;
    std::vector<TrackEntry> tracks;
    std::string disc() const { return record.artist + " / " + record.album + " / " + record.year; }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& t : tracks) out.push_back(t.title);
        return out;
    }
};

// A record with recognisable old values and `trackCount` entries titled "old".
Applied apply(std::string_view text, size_t trackCount = 3) {
    Applied a;
    a.record = {"old artist", "old album", "1970", 12, "my comment"};
    a.tracks.resize(trackCount);
    for (auto& t : a.tracks) t.title = "old";
    applyDiscInfoText(text, a.record, a.tracks);
    return a;
}

TEST(DiscInfoText, AppliesACddbEntry) {
    const auto a = apply(
        "# xcmd\r\nDISCID=0200b201\r\nDTITLE=Various / Hits\r\nDYEAR=1999\r\nDGENRE=rock\r\n"
        "TTITLE0=One\r\nTTITLE1=Two\r\nEXTD=\r\nTTITLE2=Three\r\nPLAYORDER=\r\n");
    EXPECT_EQ(a.disc(), "Various / Hits / 1999");
    EXPECT_EQ(a.record.genre, 17);
    EXPECT_EQ(a.record.comment, "my comment");
    EXPECT_EQ(a.titles(), (std::vector<std::string>{"One", "Two", "Three"}));
}

TEST(DiscInfoText, SplitsTheTitleAroundTheFirstSlashWhereverItIs) {
    EXPECT_EQ(apply("DTITLE=A/B\r\n").disc(), " /  / 1970");
    EXPECT_EQ(apply("DTITLE=/B\r\n").record.artist, "");
    // The slash search runs past the line end and the title line swallows the track line.
    const auto a = apply("DTITLE=Band\r\nTTITLE0=AC/DC\r\n");
    EXPECT_EQ(a.disc(), "Band\r\nTTITLE0=A / C / 1970");
    EXPECT_EQ(a.titles()[0], "old");
}

TEST(DiscInfoText, StopsWhereTheTextEndsTooEarly) {
    EXPECT_EQ(apply("DTITLE=A / B\r\nDISCID=1").record.artist, "old artist");
    EXPECT_EQ(apply("DTITLE=Solo\r\nDYEAR=2001\r\n").disc(), "old artist / old album / 1970");
    // The artist is applied before the album's line end is sought.
    EXPECT_EQ(apply("DTITLE=Band / Album").disc(), "Band / old album / 1970");
    EXPECT_EQ(apply("DYEAR=2001").record.year, "1970");
    EXPECT_EQ(apply("TTITLE0=A\nTTITLE1=B").titles(),
              (std::vector<std::string>{"A", "old", "old"}));
}

TEST(DiscInfoText, LooksForEachKeyOnlyBehindTheLastLineRead) {
    const auto a = apply("DYEAR=1999\rDTITLE=A / B\rDTITLE=C / D\rDGENRE=Jazz\rDYEAR=2000\r");
    EXPECT_EQ(a.disc(), "A / B / 2000");  // not the year line before the title line
    EXPECT_EQ(a.record.genre, 12);
}

TEST(DiscInfoText, MatchesGenresIgnoringCaseAndOnlyAsListed) {
    const std::pair<const char*, int> genres[] = {
        {"ROCK", 17}, {"hard rock", 79}, {"AlternRock", 0}, {"Altern Rock", 40}, {"", 0}};
    for (const auto& [genre, index] : genres)
        EXPECT_EQ(apply("DGENRE=" + std::string(genre) + "\n").record.genre, index) << genre;
}

TEST(DiscInfoText, AppliesTitlesInIndexOrderUpToTheFirstGap) {
    EXPECT_EQ(apply("TTITLE0=A\nTTITLE1=B\nTTITLE3=D\n", 4).titles(),
              (std::vector<std::string>{"A", "B", "old", "old"}));
    EXPECT_EQ(apply("TTITLE1=B\nTTITLE0=A\n").titles(),
              (std::vector<std::string>{"A", "old", "old"}));
    EXPECT_EQ(apply("TTITLE0=A\nTTITLE1=B\nTTITLE2=C\nTTITLE99999999999=x\n", 2).titles(),
              (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(apply("TTITLE0=A\n", 0).tracks.empty());
}

TEST(DiscInfoText, CutsLongValuesToWholeCharactersWithin83Bytes) {
    std::string chinese;
    for (int i = 0; i < 30; ++i) chinese += "音";  // 90 bytes
    const auto a =
        apply("DTITLE=" + chinese + " / " + std::string(100, 'x') + "\nTTITLE0=a" + chinese + "\n");
    EXPECT_EQ(a.record.artist, chinese.substr(0, 81));
    EXPECT_EQ(a.record.album, std::string(83, 'x'));
    EXPECT_EQ(a.titles()[0], "a" + chinese.substr(0, 81));

    const std::string artist(80, 'a');
    const auto credited = apply("DTITLE=Various / X\r\nTTITLE0=" + artist + " / Title\r\n");
    EXPECT_EQ(credited.tracks[0].artist, artist) << "a credit is split before its parts are cut";
    EXPECT_EQ(credited.tracks[0].title, "Title");
}

TEST(DiscInfoText, TakesAnyBytes) {
    const auto huge = apply("DTITLE=" + std::string(40000, 'y') + " / z\n");
    EXPECT_EQ(huge.record.artist, std::string(83, 'y'));
    EXPECT_EQ(apply(std::string(40000, '/')).record.artist, "old artist");
    const auto nul = apply("DTITLE=A\0B / C\r\n\0TTITLE0=x\0y\n"s);
    EXPECT_EQ(nul.record.artist, "A\0B"s);
    EXPECT_EQ(nul.titles()[0], "x\0y"s);
    EXPECT_EQ(apply("").record.album, "old album");
}

// What shows in the list has no characters that act unseen, and a tab is a space there.
TEST(DiscInfoText, DropsCharactersThatActUnseenAndSpacesTabs) {
    const auto a = apply(
        "DTITLE=\u202EBand / Al\xC2\x85"
        "bum\r\nTTITLE0=tab\there\u2066\r\n");
    EXPECT_EQ(a.disc(), "Band / Album / 1970");
    EXPECT_EQ(a.titles()[0], "tab here");
}

std::vector<std::string> credits(const Applied& a) {
    std::vector<std::string> out;
    for (const auto& t : a.tracks) out.push_back(t.artist + "|" + t.title);
    return out;
}

// A compilation's CDDB entry credits each track; a one-artist disc's title may hold the same
// separator, and stays whole.
TEST(DiscInfoText, ACompilationsTitlesGiveEachTrackItsArtist) {
    const std::string titles =
        "TTITLE0=Ann / Song\r\nTTITLE1=Plain\r\nTTITLE2=Prelude / Fugue / Coda\r\n";
    EXPECT_EQ(credits(apply("DTITLE=Various / Hits\r\n" + titles)),
              (std::vector<std::string>{"Ann|Song", "|Plain", "Prelude|Fugue / Coda"}));
    EXPECT_EQ(credits(apply("DTITLE=群星 / 金曲\r\n" + titles))[0], "Ann|Song");
    EXPECT_EQ(credits(apply("DTITLE=Band / Album\r\n" + titles)),
              (std::vector<std::string>{"|Ann / Song", "|Plain", "|Prelude / Fugue / Coda"}));
    // An empty side is no credit, and a credit of the album's own artist is none either.
    EXPECT_EQ(credits(apply("DTITLE=various artists / X\r\nTTITLE0= / Song\r\n"
                            "TTITLE1=various artists / Own\r\nTTITLE2=Ann / \r\n")),
              (std::vector<std::string>{"| / Song", "|Own", "|Ann / "}));
}

TEST(DiscInfoText, ACreditingSourcesTextSplitsEveryTitleAndALaterTextClearsTheArtists) {
    Applied a = apply(
        "DTITLE=Band / Album\r\nTTITLE0=Guest / Duet\r\nTTITLE1=Band / A / B\r\n"
        "TTITLE2=Solo\r\nTCREDITS=1\r\n");
    EXPECT_EQ(credits(a), (std::vector<std::string>{"Guest|Duet", "|A / B", "|Solo"}));
    applyDiscInfoText(
        "DTITLE=Band / Album\r\nTTITLE0=Guest / Duet\r\nTTITLE1=X\r\n"
        "MBRELEASE=\r\n",
        a.record, a.tracks);
    EXPECT_EQ(credits(a), (std::vector<std::string>{"Guest|Duet", "|X", "|Solo"}));
    applyDiscInfoText("DTITLE=Band / Album\r\nTTITLE0=Guest / Duet\r\nXTCREDITS=1\r\n", a.record,
                      a.tracks);
    EXPECT_EQ(credits(a)[0], "|Guest / Duet") << "the line counts only where a line starts";
}

}  // namespace
}  // namespace lumbra
