// What the client makes of captured CDDB replies, without a socket.
#include "metadata/cddb_reply.h"

#include <gtest/gtest.h>

#include "metadata/cddb_base64.h"
#include "metadata/cddb_config.h"
#include "metadata/cddb_match_line.h"

namespace lumbra {
namespace {

using namespace std::string_literals;

constexpr size_t kCapacity = 32;

std::vector<std::string> described(const CddbMatchList& matches) {
    std::vector<std::string> out;
    for (const auto& m : matches)
        out.push_back(m.category + "|" + m.discId + "|" + m.artist + "|" + m.title);
    return out;
}

std::vector<std::string> queryMatches(std::string_view reply, size_t capacity = kCapacity) {
    return described(parseQueryReply(reply, capacity));
}

std::string matchOf(std::string_view line) {
    const auto match = parseMatchLine(line);
    return match ? described({*match})[0] : "<none>";
}

TEST(CddbQueryReply, ReadsAnExactMatchAndAListOfInexactOnes) {
    const std::string list =
        "211 Found inexact matches, list follows (until terminating `.')\r\n"
        "rock 7a0b1c0d A / One\r\nmisc 0200b201 B / Two\r\njazz 11 C / Three\r\n.\r\n"
        "blues 22 D / After the end\r\n";
    const std::vector<std::string> three{"rock|7a0b1c0d|A|One", "misc|0200b201|B|Two",
                                         "jazz|11|C|Three"};
    EXPECT_EQ(queryMatches(list), three);
    EXPECT_EQ(queryMatches("210 Found exact matches\r\nrock 1 A / One\r\n.\r\n"),
              std::vector<std::string>{"rock|1|A|One"});
    EXPECT_EQ(queryMatches(list, 2), (std::vector<std::string>{three[0], three[1]}))
        << "a full list";
    EXPECT_TRUE(queryMatches("200 rock 1 A / B\r\n", 0).empty());
    EXPECT_EQ(queryMatches("200\xEF\xBF\xBDrock 1 A / B\r\n"),
              std::vector<std::string>{"rock|1|A|B"})
        << "a status followed by a character of more than one byte";
}

TEST(CddbQueryReply, FindsNoMatchInErrorsRefusalsAndBrokenReplies) {
    for (const std::string& reply : {
             "500 Command syntax error: incorrect number of arguments.\r\n"s,
             ""s,
             "HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n"
             "<html><body>Access denied</body></html>\r\n"s,
             "HTTP/1.0 200 OK\r\n200 rock 1 A / B\r\n"s,  // the header never ends
             "2x0 rock 1 A / B\r\n"s,
             "200\r\n"s,
             "200 rock 1 A / B"s,  // a last line without CR LF is never seen
             "211 list\r\nrock 1 A / B"s,
             "\0"
             "200 rock 1 A / B\r\n"s,
         }) {
        EXPECT_TRUE(queryMatches(reply).empty()) << reply;
    }
}

TEST(CddbQueryReply, SkipsLinesThatAreNoMatchesAndStopsAfterAHundred) {
    std::string list =
        "211 list\r\nnospace\r\n leading space\r\nrock xyz A / B\r\nrock 123456789 A / B\r\n"
        "rock  \t 12 A / B\r\nrock 12\r\nrock 7 Kept / Line\r\n";
    EXPECT_EQ(queryMatches(list + ".\r\n"), std::vector<std::string>{"rock|7|Kept|Line"});
    for (int i = 0; i < 120; ++i) list += "rock 8 Filler / Line\r\n";
    EXPECT_EQ(queryMatches(list, 1000).size(), 1u + kMaxMatchLines - 7);
}

TEST(CddbQueryReply, KeepsSeventyNineBytesOfALineAtACharacterBoundary) {
    const std::string longLine = "rock 1 A / " + std::string(100, 't');
    const std::string chinese =
        "rock 2 歌手 / " + std::string(25, 'x') + "很长的中文专辑名称很长的中文专辑名称";
    const auto matches =
        parseQueryReply("211 list\r\n" + longLine + "\r\n" + chinese + "\r\n.\r\n", kCapacity);
    ASSERT_EQ(matches.size(), 2u) << "the rest of a long line is skipped, not read as a line";
    EXPECT_EQ(matches[0].title, std::string(kReplyLineLimit - 11, 't'));
    EXPECT_EQ(matches[1].artist, "歌手");
    EXPECT_EQ(matches[1].title, std::string(25, 'x') + "很长的中文专辑名称很长的");
}

TEST(CddbMatchLine, SplitsCategoryIdArtistAndTitle) {
    EXPECT_EQ(matchOf("rock 7a0b1c0d Some Artist / Some Title"),
              "rock|7a0b1c0d|Some Artist|Some Title");
    EXPECT_EQ(matchOf("misc   0200B201   Artist/Title / Act 2 / Live"),
              "misc|0200B201|Artist/Title|Act 2 / Live");
    EXPECT_EQ(matchOf("rock 1 Only One Name"), "rock|1|Only One Name|Only One Name");
    EXPECT_EQ(matchOf("classicrock2 1 A / B"), "classicrock|1|A|B");
    EXPECT_EQ(matchOf("rock 1 Artist\r / Title\n"), "rock|1|Artist|Title");
    EXPECT_EQ(matchOf("rock 1 " + std::string(90, 'a') + " / " + std::string(90, 'b')),
              "rock|1|" + std::string(80, 'a') + "|" + std::string(80, 'b'));
    EXPECT_EQ(matchOf("rock 1 "), "rock|1||");
    for (const char* line : {"", "rock", " rock 1 A / B", "rock 1234567890 A / B", "rock g1 A / B",
                             "rock 12", "rock   "}) {
        EXPECT_EQ(matchOf(line), "<none>") << line;
    }
}

TEST(CddbReadReply, GivesTheEntryWithoutItsEndAndUnderTheListedGenre) {
    const std::string entry =
        "# xmcd\r\nDISCID=0200b201\r\nDTITLE=Band / Pop "
        "Album\r\nDYEAR=1999\r\nDGENRE=Pop\r\nTTITLE0=Pop\r\n";
    const std::string reply =
        "210 rock 0200b201 CD database entry follows (until terminating `.')\r\n" + entry;
    std::string expected = entry;
    expected.replace(expected.find("DGENRE=Pop"), 10, "DGENRE=rock");
    EXPECT_EQ(parseReadReply(reply + ".\r\n", "rock"), expected);
    EXPECT_EQ(parseReadReply(reply + ".\r\n", "Pop"), entry) << "the genre is already the category";
    EXPECT_EQ(parseReadReply(reply, "rock"), expected) << "an entry cut off before its end";
    EXPECT_EQ(parseReadReply("210 rock 1\r\n", "rock"), "");
    EXPECT_EQ(parseReadReply("210 rock 1", "rock"), "");
}

TEST(CddbReadReply, LeavesEmptyLongAndMisplacedGenresAlone) {
    const std::string head = "210 rock 1 entry\r\n";
    EXPECT_EQ(parseReadReply(head + "DGENRE=\r\n.\r\n", "rock"), "DGENRE=\r\n");
    const std::string longGenre = "DGENRE=" + std::string(81, 'g') + "\r\n";
    EXPECT_EQ(parseReadReply(head + longGenre + ".\r\n", "rock"), longGenre);
    EXPECT_EQ(parseReadReply(head + "DGENRE=" + std::string(80, 'g') + "\r\n.\r\n", "rock"),
              "DGENRE=rock\r\n");
    EXPECT_EQ(parseReadReply(head + "EXTD=DGENRE=Pop\r\nDGENRE=Jazz", "rock"),
              "EXTD=DGENRE=Pop\r\nDGENRE=rock");
}

TEST(CddbReadReply, FailsForEveryOtherStatus) {
    for (const std::string& reply :
         {"401 rock 1 No such CD entry in database.\r\n"s, "211 rock 1\r\n"s, ""s,
          "HTTP/1.0 407 Proxy Authentication Required\r\n\r\n<html></html>"s,
          " 210 rock 1\r\nDTITLE=A / B\r\n"s}) {
        EXPECT_FALSE(parseReadReply(reply, "rock")) << reply;
    }
}

// Only an HTTP 200 carries a CDDB answer: the body of a redirect or a server error is not read,
// however much it looks like one, and its status line says why.
TEST(CddbReply, ReadsOnlyTheBodyOfAnHttp200) {
    const std::string body = "\r\n\r\n200 rock 0200b201 A / B\r\n";
    const std::string entry = "\r\n\r\n210 rock 0200b201\r\nDTITLE=A / B\r\n.\r\n";
    for (const std::string status : {"HTTP/1.0 302 Found", "HTTP/1.1 500 Internal Server Error",
                                     "HTTP/1.0 2000 OK", "HTTP/1.0"}) {
        EXPECT_TRUE(queryMatches(status + body).empty()) << status;
        EXPECT_FALSE(parseReadReply(status + entry, "rock")) << status;
        EXPECT_EQ(refusedHttpStatus(status + "\r\nLocation: x" + body), status);
    }
    EXPECT_EQ(queryMatches("HTTP/1.1 200 OK" + body),
              std::vector<std::string>{"rock|0200b201|A|B"});
    EXPECT_TRUE(parseReadReply("HTTP/1.0 200" + entry, "rock"));
    EXPECT_FALSE(refusedHttpStatus("HTTP/1.0 200 OK" + body));
    EXPECT_FALSE(refusedHttpStatus("200 rock 0200b201 A / B\r\n")) << "no HTTP header";
    EXPECT_EQ(refusedHttpStatus("HTTP/1.0 503 \x1b[2JBusy\r\n"), "HTTP/1.0 503 [2JBusy");
}

TEST(CddbReplyText, TakesUtf8AsItIsAndDecodesEverythingElseFromGb18030) {
    EXPECT_EQ(cddbReplyText("TTITLE0=\x81\x30\x81\x30"), "TTITLE0=\xC2\x80")
        << "a four-byte GB18030 character";
    EXPECT_EQ(cddbReplyText("TTITLE0=中文\xE9\x9F"), "TTITLE0=中文") << "cut off by a full buffer";
    EXPECT_EQ(cddbReplyText("200 ok\0garbage\xFF"s), "200 ok");
}

TEST(CddbBase64, EncodesCredentialsOfAnyLength) {
    for (const auto& [plain, encoded] :
         {std::pair{"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foob", "Zm9vYg=="}})
        EXPECT_EQ(encodeBase64(plain), encoded) << plain;
    EXPECT_EQ(encodeBase64(std::string("\xFF\xFE\x00", 3)), "//4A");
    std::string longEncoded;
    for (int i = 0; i < 66; ++i) longEncoded += "YWFh";
    EXPECT_EQ(encodeBase64(std::string(200, 'a')), longEncoded + "YWE=")
        << "no cut at 120 characters";
}

TEST(CddbOptions, SplitTheHelloIntoWordsAndKeepTheirWidths) {
    CddbConfig config;
    setCddbOption(config, CddbOption::HelloUser, "@host " + std::string(80, 'u'), 0);
    EXPECT_EQ(config.helloUser, "@host+" + std::string(57, 'u')) << "the first character stays";
    setCddbOption(config, CddbOption::ProtocolLevel, "", 6);
    setCddbOption(config, CddbOption::ProtocolLevel, "", 0);
    EXPECT_EQ(config.protocolLevel, 6);
    setCddbOption(config, CddbOption::QueryPath, "/" + std::string(100, 'p'), 0);
    EXPECT_EQ(config.queryPath.size(), 79u);
}

}  // namespace
}  // namespace lumbra
