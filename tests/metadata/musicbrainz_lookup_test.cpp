// MusicBrainz lookups against a web service on loopback, for a disc in a virtual drive: the
// release chosen and its titles, the fuzzy lookup and the fall back to CDDB, replies that are no
// answer, the local database's copy, the cover, the pace of requests and a stop in flight.
#include <gtest/gtest.h>

#include <unistd.h>
#include <functional>

#include "app/disc_lookups.h"
#include "metadata/disc_info_text.h"
#include "metadata/musicbrainz_disc_id.h"
#include "metadata/recent_disc_table.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/rip_harness.h"
#include "support/web_test_server.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

constexpr const char* kFirstRelease = "11111111-2222-3333-4444-555555555555";
constexpr const char* kSecondRelease = "66666666-7777-8888-9999-000000000000";
const std::string kJpeg = "\xFF\xD8\xFF\xE0 a cover";

std::string credit(const std::string& name, const std::string& join = "") {
    return R"({"name":")" + name + R"(","joinphrase":")" + join + R"(","artist":{"name":"x"}})";
}

std::string track(const std::string& title, const std::string& credits = "") {
    return R"({"title":")" + title + R"(")" +
           (credits.empty() ? "" : R"(,"artist-credit":[)" + credits + "]") + "}";
}

std::string medium(const std::string& discId, const std::vector<std::string>& tracks) {
    std::string list;
    for (const std::string& t : tracks) list += (list.empty() ? "" : ",") + t;
    return R"({"discs":[{"id":")" + discId + R"("}],"tracks":[)" + list + "]}";
}

std::string release(const std::string& id, const std::string& title, const std::string& credits,
                    const std::vector<std::string>& media) {
    std::string list;
    for (const std::string& m : media) list += (list.empty() ? "" : ",") + m;
    return R"({"id":")" + id + R"(","title":")" + title + R"(","date":"1999-04-01",)" +
           R"("artist-credit":[)" + credits + R"(],"media":[)" + list + "]}";
}

std::string releases(const std::vector<std::string>& list) {
    std::string joined;
    for (const std::string& r : list) joined += (joined.empty() ? "" : ",") + r;
    return R"({"releases":[)" + joined + "]}";
}

bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 1000 && !condition(); ++i) usleep(10000);
    return condition();
}

class LookupEnds : public EventSink {
public:
    void post(int message, uintptr_t job, const void*) override {
        const std::lock_guard lock(mutex_);
        if (message == WM_LOOKUP_DONE) ended_.push_back(job);
    }
    bool ended(uintptr_t job) {
        return eventually([&] {
            const std::lock_guard lock(mutex_);
            return std::count(ended_.begin(), ended_.end(), job) == 1;
        });
    }

private:
    std::mutex mutex_;
    std::vector<uintptr_t> ended_;
};

class MusicBrainzLookup : public test::RipHarness {
protected:
    void SetUp() override {
        RipHarness::SetUp();
        forgetRecentDiscs();
        insertDiscs(test::writeCueImage(dir.path(), "disc", {300, 200, 100}).cuePath);
        settings.cddb.useLocalDatabase = true;
        settings.cddb.localDatabaseFolder = dir.path() + "/Local CDDB";
        settings.cddb.currentServer = {"127.0.0.1", cddb.port(), "/~cddb/cddb.cgi"};
        settings.musicBrainz = {true, "127.0.0.1", web.port(), false,
                                true, "127.0.0.1", web.port(), false};
        discId = musicBrainzDiscId(*musicBrainzToc(drives[0].toc, false));
        lookupPath = "/ws/2/discid/" + discId + "?inc=artist-credits+recordings&fmt=json";
        fuzzyPath = lookupPath + "&cdstubs=no&toc=1+3+750+150+450+650";
    }

    // A whole lookup, applied as the main window applies it; the cover it brought.
    std::string lookUpAndApply() {
        const uintptr_t job =
            lookups->startDiscLookup(settings.cddb, drives[0].openRequest, settings.musicBrainz);
        EXPECT_TRUE(ends.ended(job));
        std::string cover;
        const auto text = lookups->finishDiscLookup(job, nullptr, &cover);
        EXPECT_TRUE(text);
        if (text) applyDiscInfoText(*text, disc, tracks);
        return cover;
    }
    std::string shown() const {
        std::string out = disc.artist + " / " + disc.album + " / " + disc.year + ":";
        for (const auto& t : tracks) out += " | " + t.title;
        return out;
    }
    void forgetTitles() {
        disc = DiscRecord{};
        for (auto& t : tracks) t.title = "default";
    }

    test::CddbTestServer cddb;
    test::WebTestServer web;
    std::string discId, lookupPath, fuzzyPath;
    LookupEnds ends;
    std::unique_ptr<DiscLookups> lookups = std::make_unique<DiscLookups>(
        ends, flags.lookupActive, CddbTimeouts{1000ms, 1000ms, 1000ms, 3000ms});
};

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
    EXPECT_EQ(web.targets().size(), 5u)
        << "only the cover was fetched again" << web.targets().back();
    EXPECT_TRUE(cddb.requests().empty());
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
    lookups = std::make_unique<DiscLookups>(ends, flags.lookupActive,
                                            CddbTimeouts{10000ms, 10000ms, 30000ms, 60000ms});
    const uintptr_t job =
        lookups->startDiscLookup(settings.cddb, drives[0].openRequest, settings.musicBrainz);
    ASSERT_TRUE(eventually([&] { return web.requests().size() == 1; }));
    const auto before = std::chrono::steady_clock::now();
    lookups->stopDiscLookup();
    EXPECT_TRUE(ends.ended(job));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s);
    EXPECT_TRUE(cddb.requests().empty()) << "a stopped lookup asks nobody else";
}

}  // namespace
}  // namespace lumbra
