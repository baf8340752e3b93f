// MusicBrainz lookups against a web service on loopback, for a disc in a virtual drive: the
// release chosen and its titles, the fuzzy lookup and the fall back to CDDB, replies that are no
// answer, the local database's copy, the cover, the pace of requests and a stop in flight.
#include <gtest/gtest.h>

#include <fstream>

#include "support/musicbrainz_service.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using test::credit, test::medium, test::release, test::releases, test::track;
using test::kFirstRelease, test::kSecondRelease, test::kJpeg;

class MusicBrainzLookup : public test::MusicBrainzService {};

TEST_F(MusicBrainzLookup, TakesTheFirstReleaseWithItsCoverAndNextTimeNeedsNoNetwork) {
    const std::string ours =
        medium(discId, {track("One"), track("Two", credit("Guest")), track("Three")});
    web.route(
        lookupPath,
        test::webReply(200, releases({release(kFirstRelease, "Album",
                                              credit("Band", " feat. ") + "," + credit("Singer"),
                                              {medium("other", {track("Wrong")}), ours}),
                                      release(kSecondRelease, "Second", credit("B"), {ours})})));
    web.route("/release/" + std::string(kFirstRelease) + "/front-500",
              test::webReply(307, "", "Location: http://" + web.base() + "/img/front.jpg\r\n"));
    web.route("/img/front.jpg", test::webReply(200, kJpeg));

    EXPECT_EQ(lookUpAndApply(), kJpeg) << "the redirect was followed";
    EXPECT_EQ(shown(), "Band feat. Singer / Album / 1999: | One | Guest / Two | Three");
    const auto requests = web.requests();
    ASSERT_EQ(web.targets(),
              (std::vector<std::string>{lookupPath,
                                        "/release/" + std::string(kFirstRelease) + "/front-500",
                                        "/img/front.jpg"}));
    EXPECT_NE(requests[0].head.find("\r\nUser-Agent: LumbraCDRipper/"), std::string::npos);
    EXPECT_NE(requests[0].head.find(" ( https://lumbra.org/ )\r\n"), std::string::npos);
    EXPECT_TRUE(cddb.requests().empty()) << "MusicBrainz answered before the CDDB server";

    // Found again only if the entry was filed under the key the lookup looks for.
    web.route(lookupPath, test::webReply(503, ""));
    forgetRecentDiscs();  // as in a new run of the program
    forgetTitles();
    EXPECT_EQ(lookUpAndApply(), kJpeg) << "the local entry names the release";
    EXPECT_EQ(shown(), "Band feat. Singer / Album / 1999: | One | Guest / Two | Three");
    EXPECT_EQ(web.targets().size(), 3u) << "the cover was kept too" << web.targets().back();
    EXPECT_TRUE(cddb.requests().empty());

    // A kept cover that is no image is fetched again and replaced.
    const std::string kept = dir.path() + "/home/Local CDDB/covers/" + kFirstRelease;
    ASSERT_TRUE(exists(kept));
    std::ofstream(kept) << "<html>broken</html>";
    forgetTitles();
    EXPECT_EQ(lookUpAndApply(), kJpeg);
    EXPECT_EQ(web.targets().size(), 5u);
    EXPECT_EQ(fileText(kept), kJpeg);
}

// The genre is the one the local database files the entry under, so it comes back offline.
TEST_F(MusicBrainzLookup, TheReleasesGenreIsTheDiscsOnlineAndOffline) {
    settings.musicBrainz.coverArt = false;
    const std::string genres =
        R"(,"genres":[{"name":"indie","count":9},{"name":"rock","count":3}])";
    web.route(lookupPath, test::webReply(200, releases({release(kFirstRelease, "A", credit("B"),
                                                                {medium(discId, {})}, genres)})));
    lookUpAndApply();
    EXPECT_EQ(disc.genre, 17);
    web.route(lookupPath, test::webReply(503, ""));
    forgetRecentDiscs();
    forgetTitles();
    lookUpAndApply();
    EXPECT_EQ(disc.album, "A");
    EXPECT_EQ(disc.genre, 17);
}

TEST_F(MusicBrainzLookup, AnUnknownIdIsAskedForByTableOfContentsAndThenCddbAnswers) {
    settings.cddb.useLocalDatabase = false;
    settings.musicBrainz.coverArt = false;
    web.route(fuzzyPath,
              test::webReply(200, releases({release(kSecondRelease, "Near", credit("Fuzzy"),
                                                    {medium("someone-else", {track("a")}),
                                                     R"({"tracks":[{"title":"x"},{"title":"y"},)"
                                                     R"({"recording":{"title":"z"}}]})"})})));
    lookUpAndApply();
    EXPECT_EQ(shown(), "Fuzzy / Near / 1999: | x | y | z") << "the medium of three tracks";
    EXPECT_EQ(web.targets(), (std::vector<std::string>{lookupPath, fuzzyPath}));

    web.route(fuzzyPath, test::webReply(200, R"({"release-count":0,"releases":[]})"));
    cddb.addEntry({"rock", "10000803", "C", "From CDDB",
                   "DTITLE=C / From CDDB\r\nDYEAR=2001\r\nTTITLE0=c1\r\nTTITLE1=c2\r\n"
                   "TTITLE2=c3\r\n"});
    forgetTitles();
    lookUpAndApply();
    EXPECT_EQ(shown(), "C / From CDDB / 2001: | c1 | c2 | c3");
}

// Each reply that is no answer leaves the disc to the CDDB server; none of them ends the lookup
// in anything worse.
TEST_F(MusicBrainzLookup, MalformedOversizedAndStrayRepliesFallBackToCddb) {
    settings.cddb.useLocalDatabase = false;
    settings.musicBrainz.coverArt = false;
    cddb.addEntry({"rock", "10000803", "C", "Fallback", "DTITLE=C / Fallback\r\nTTITLE0=c1\r\n"});
    const std::string replies[] = {
        test::webReply(200, R"({"releases":[{"title":"cut short)"),
        test::webReply(200, R"({"releases":[)" + std::string(5 << 20, ' ') + "]}"),
        test::webReply(200, "<html>a captive portal</html>"),
    };
    for (const std::string& reply : replies) {
        web.route(lookupPath, reply);
        forgetTitles();
        lookUpAndApply();
        EXPECT_EQ(shown(), "C / Fallback / : | c1 | default | default") << reply.substr(0, 60);
    }
}

TEST_F(MusicBrainzLookup, RepeatedLookupsKeepToOneRequestASecond) {
    settings.cddb.useLocalDatabase = false;
    settings.musicBrainz.coverArt = false;
    web.route(lookupPath,
              test::webReply(
                  200, releases({release(kFirstRelease, "A", credit("B"), {medium(discId, {})})})));
    for (int i = 0; i < 3; ++i) lookUpAndApply();
    const auto requests = web.requests();
    ASSERT_EQ(requests.size(), 3u);
    for (size_t i = 1; i < requests.size(); ++i) {
        EXPECT_GE(requests[i].arrived - requests[i - 1].arrived, 1000ms) << i;
    }
}

TEST_F(MusicBrainzLookup, AStopLeavesASilentServiceAtOnce) {
    web.neverAnswer();
    useTimeouts({10000ms, 10000ms, 30000ms, 60000ms});
    const uintptr_t job = start();
    ASSERT_TRUE(test::eventually([&] { return web.requests().size() == 1; }));
    const auto before = std::chrono::steady_clock::now();
    lookups->stopDiscLookup();
    EXPECT_TRUE(ends.endedOnce(job));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_TRUE(cddb.requests().empty()) << "a stopped lookup asks nobody else";
}

}  // namespace
}  // namespace lumbra
