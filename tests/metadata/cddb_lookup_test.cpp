// The CDDB client and the disc lookup job against servers on loopback, for a disc in a virtual
// drive: the bytes sent, straight and through a proxy, servers that misbehave, lookups stopped
// in flight.
#include <discid/discid.h>
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <fstream>

#include "app/disc_lookups.h"
#include "metadata/cddb_client.h"
#include "metadata/disc_id.h"
#include "metadata/disc_info_text.h"
#include "metadata/disc_lookup_job.h"
#include "metadata/recent_disc_table.h"
#include "platform/text_encoding.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/lookup_harness.h"
#include "support/segment_image.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using test::ServerBehaviour;

// Tracks at 00:02:00, 00:06:00 and 00:08:50, lead-out at 00:10:00.
constexpr uint32_t kLocalKey = 0x200 + 0x600 + 0x832;
const std::string kQueryTail =
    "Content-Length: 91\r\n\r\n"
    "cmd=cddb+query+10000803+3+150+450+650+10&hello=ripper+example.org+Lumbra+Software&proto=6\r\n";
const CddbMatch kFirst{"rock", "0200b201", "", ""};

test::CddbTestEntry entry(const std::string& discId, const std::string& album,
                          const std::string& firstTitle) {
    return {"rock", discId, "Band", album,
            "DISCID=" + discId + "\r\nDTITLE=Band / " + album +
                "\r\nDYEAR=2001\r\nDGENRE=Rock\r\nTTITLE0=" + firstTitle +
                "\r\nTTITLE1=Second\r\nTTITLE2=Third\r\n"};
}

class CddbLookup : public test::LookupHarness {
protected:
    void SetUp() override {
        LookupHarness::SetUp();
        settings.cddb.email = "ripper@example.org";
        useServer(server);
        useTimeouts({1000ms, 1000ms, 300ms});
    }

    void useServer(const test::CddbTestServer& chosen) {
        settings.cddb.currentServer = {"127.0.0.1", chosen.port(), "/~cddb/cddb.cgi"};
    }
    CddbConfig config() const {
        return lookupClientConfig(settings.cddb, {1000ms, 1000ms, 300ms, 1500ms});
    }
    CddbMatchList query() {
        const int handle = getCDHandle(&drives[0].openRequest);
        CddbMatchList matches{{"stale", "1", "", ""}};
        EXPECT_EQ(cddbQuery(config(), handle, matches, kLookupMatchCapacity), 1);
        releaseCDHandle(handle);
        return matches;
    }
    // The read's text, or "status 4" with the text left alone.
    std::string read(const CddbMatch& match, size_t capacity = kLookupTextCapacity) {
        std::string text = "untouched";
        return cddbRead(config(), match, text, capacity) == 1 ? text : "status 4, " + text;
    }
    static std::string post(const std::string& head, const std::string& tail) {
        return head +
               "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: Zentor090\r\n" +
               tail;
    }

    test::CddbTestServer server;
};

TEST_F(CddbLookup, ReadsTheFirstOfThreeMatchesFilesItAndNextTimeNeedsNoServer) {
    server.addEntry(entry("0200b201", "First", "Opening"));
    server.addEntry(entry("0200b202", "Second", "Wrong"));
    server.addEntry(entry("0200b203", "Third", "Wrong"));
    lookUpAndApply();
    EXPECT_EQ(shown(), "Band / First / 2001: | Opening | Second | Third");
    const std::string head =
        "POST /~cddb/cddb.cgi HTTP/1.0\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
        "\r\n";
    EXPECT_EQ(server.requests(),
              (std::vector<std::string>{
                  post(head, kQueryTail),
                  post(head,
                       "Content-Length: 78\r\n\r\ncmd=cddb+read+rock+0200b201&hello="
                       "ripper+example.org+Lumbra+Software&proto=6\r\n")}));
    // Whichever match is read, its entry must find the disc's local key.
    for (uint32_t id : {0x0200b201u, 0x0200b202u, 0x0200b203u}) {
        ASSERT_TRUE(findByDiscId(id)) << std::hex << id;
        EXPECT_EQ(findByDiscId(id)->localKey, kLocalKey);
    }

    // Found again only if the read filed the entry under the key the lookup looks for.
    server.setBehaviour(ServerBehaviour::NeverAnswer);
    forgetRecentDiscs();  // as in a new run of the program
    forgetTitles();
    lookUpAndApply();
    EXPECT_EQ(shown(), "Band / First / 2001: | Opening | Second | Third");
    EXPECT_EQ(server.requests().size(), 2u) << "the local database answered alone";
}

// The query for an Enhanced CD, as libdiscid sees the same table of contents: CDDB files such
// discs under the data track's start and the last session's lead-out, not where the audio ends.
std::string libdiscidQuery(const std::vector<int>& trackStarts, int leadOut) {
    std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), discid_free);
    std::vector<int> offsets{leadOut + 150};
    for (int start : trackStarts) offsets.push_back(start + 150);
    offsets.resize(100);
    if (!discid_put(disc.get(), 1, int(trackStarts.size()), offsets.data())) return "rejected";
    const int n = discid_get_last_track_num(disc.get());
    std::string query = "cmd=cddb+query+" + std::string(discid_get_freedb_id(disc.get())) + "+" +
                        std::to_string(n) + "+";
    for (int i = 1; i <= n; ++i)
        query += std::to_string(discid_get_track_offset(disc.get(), i)) + "+";
    return query + std::to_string(discid_get_sectors(disc.get()) / 75);
}

TEST_F(CddbLookup, AnEnhancedCdIsAskedForByItsTableOfContents) {
    const std::vector<test::ImageTrack> layout{{{{300}}}, {{{448}}}, {{{300}}, true, true}};
    insertDiscs(test::writeSegmentImage(dir.path(), "enhanced", layout).cuePath);
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[1].length, 448) << "the audio ends before the gap between sessions";
    EXPECT_EQ(tracks[2].start, 748 + 11400);
    query();
    const std::string expected = libdiscidQuery({0, 300, 748 + 11400}, 748 + 11400 + 300);
    ASSERT_FALSE(server.requests().empty());
    const std::string sent = server.requests().back();
    EXPECT_NE(sent.find("\r\n\r\n" + expected + "&hello="), std::string::npos) << sent << expected;
    EXPECT_EQ(discIdText(drives[0].discId), expected.substr(15, 8));
}

TEST_F(CddbLookup, GoesThroughAProxyWithCredentialsOnlyWhenUserAndPasswordAreSet) {
    server.addEntry(entry("0200b201", "First", "Opening"));
    CddbSettings& cddb = settings.cddb;
    cddb.useProxy = true;
    cddb.proxyHost = "127.0.0.1";
    cddb.proxyPort = server.port();
    cddb.proxyUser = "user";
    // The proxy connects to the port the request names, so a port other than 80 must be there.
    const std::pair<int, std::string> servers[] = {{80, "cddb.example.org"},
                                                   {8880, "cddb.example.org:8880"}};
    std::vector<std::string> expected;
    for (const auto& [port, authority] : servers) {
        cddb.currentServer = {"cddb.example.org", port, "/~cddb/cddb.cgi"};
        for (const char* password : {"", "secret"}) {
            cddb.proxyPassword = password;
            EXPECT_EQ(query().size(), 1u) << password;
        }
        const std::string head =
            "POST http://" + authority + "/~cddb/cddb.cgi HTTP/1.0\r\nHost: " + authority + "\r\n";
        expected.push_back(post(head, kQueryTail));
        expected.push_back(
            post(head, "Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n" + kQueryTail));
    }
    EXPECT_EQ(server.requests(), expected);
}

TEST_F(CddbLookup, TheClientAnswersFromTheLocalDatabaseWhenTheServerKnowsNothing) {
    EXPECT_TRUE(query().empty()) << "no local entry either";
    std::ofstream(config().localDatabaseFile)
        << "[1032]\r\nartist=Local\r\ntitle=Copy\r\ngenre=folk\r\nnumtracks=3\r\n"
           "offsets=150 450 650 10\r\n0=Stored\r\n";
    const auto matches = query();
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].category + " " + matches[0].discId, "cdplayerini 1032");
    EXPECT_NE(
        read(matches[0]).find("DTITLE=Local / Copy\r\nDYEAR=\r\nDGENRE=folk\r\nTTITLE0=Stored\r\n"),
        std::string::npos);
    EXPECT_EQ(server.requests().size(), 2u) << "a local entry is read without the network";
}

TEST_F(CddbLookup, SurvivesServersThatMisbehave) {
    for (const char* id : {"0200b201", "0200b202", "0200b203"})
        server.addEntry(entry(id, "Album", "Title"));
    settings.cddb.useLocalDatabase = false;

    server.setBehaviour(ServerBehaviour::NeverAnswer);
    const std::string defaults = shown();
    const auto start = std::chrono::steady_clock::now();
    lookUpAndApply();
    EXPECT_EQ(read(kFirst), "status 4, untouched");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "each exchange ends at its time-out";
    EXPECT_EQ(shown(), defaults);
    rip({0}, kFormatWav);
    EXPECT_EQ(access(outputFile(0, ".wav").c_str(), F_OK), 0) << "the lookup let go of the drive";

    server.setBehaviour(ServerBehaviour::CloseMidReply);
    EXPECT_LT(query().size(), 3u);
    const std::string half = read(kFirst);
    EXPECT_EQ(entry("0200b201", "Album", "Title").text.substr(0, half.size()), half)
        << "what came is used as it is";

    server.setBehaviour(ServerBehaviour::Trickle);
    const auto trickleStart = std::chrono::steady_clock::now();
    EXPECT_TRUE(query().empty()) << "the answer's status line had not come by the deadline";
    EXPECT_LT(std::chrono::steady_clock::now() - trickleStart, 3s) << "no receive ever timed out";

    server.setBehaviour(ServerBehaviour::Flood);
    const auto flooded = query();
    EXPECT_FALSE(flooded.empty());
    EXPECT_LE(flooded.size(), kLookupMatchCapacity);
    const std::string cut = read(kFirst, 4000);
    EXPECT_LT(cut.size(), 4000u);
    EXPECT_TRUE(cut.starts_with("TTITLE0=Endless\r\n")) << cut.substr(0, 40);

    settings.cddb.currentServer.port = [] {
        test::CddbTestServer closed;
        return closed.port();
    }();
    EXPECT_EQ(postCddbRequest(config(), "/~cddb/cddb.cgi", "cmd=cddb+query", 2048), "")
        << "a refused connection";
    EXPECT_TRUE(query().empty());
}

TEST_F(CddbLookup, TheDriveIsFreeWhileTheServerIsAskedAndAStoppedJobsEndIsIgnored) {
    server.addEntry(entry("0200b201", "Unwanted", "Unwanted"));
    server.delayAnswers(600ms);
    useTimeouts({1000ms, 1000ms, 2000ms});
    const uintptr_t job = start();
    ASSERT_TRUE(test::eventually([&] { return server.requests().size() == 1; }));
    const int handle = getCDHandle(&drives[0].openRequest);
    EXPECT_GE(handle, 1) << "a refresh during the exchange finds the disc";
    releaseCDHandle(handle);
    lookups->stopDiscLookup();
    EXPECT_EQ(flags.lookupActive, 0);
    EXPECT_FALSE(finish(job));
    EXPECT_EQ(server.requests().size(), 1u) << "the match came after the stop and was not read";
}

// A server that takes the request and says nothing holds a lookup for the receive time-out; a
// stop, and the program's exit, leave it at once.
TEST_F(CddbLookup, AStoppedLookupLeavesASilentServerAtOnce) {
    server.setBehaviour(ServerBehaviour::NeverAnswer);
    useTimeouts({});
    const uintptr_t stopped = start();
    ASSERT_TRUE(test::eventually([&] { return server.requests().size() == 1; }));
    auto before = std::chrono::steady_clock::now();
    lookups->stopDiscLookup();
    EXPECT_TRUE(ends.endedOnce(stopped));
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << "the stopped job's end";

    start();
    ASSERT_TRUE(test::eventually([&] { return server.requests().size() == 2; }));
    before = std::chrono::steady_clock::now();
    lookups.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << "the exit";
}

// A redirect or a server error is a failed lookup that names the server's status, whatever its
// body looks like.
TEST_F(CddbLookup, AnHttpStatusOtherThan200FailsTheLookupAndIsNamed) {
    settings.cddb.useLocalDatabase = false;
    server.addEntry(entry("0200b201", "Unread", "Unread"));
    for (const std::string status : {"HTTP/1.1 302 Found", "HTTP/1.0 500 Internal Server Error"}) {
        server.setStatusLine(status);
        const uintptr_t job = start();
        ASSERT_TRUE(ends.endedOnce(job));
        std::string refused;
        EXPECT_EQ(lookups->finishDiscLookup(job, &refused), "") << status;
        EXPECT_EQ(refused, status);
    }
    server.setStatusLine("HTTP/1.0 200 OK");
    const uintptr_t job = start();
    ASSERT_TRUE(ends.endedOnce(job));
    std::string refused = "untouched";
    EXPECT_NE(lookups->finishDiscLookup(job, &refused), "");
    EXPECT_EQ(refused, "");
}

// A stop frees the drive whenever it comes: while the job holds it, or before the job opens it.
TEST_F(CddbLookup, AStopClosesTheJobsHandleAtOnceOrAsSoonAsItIsOpened) {
    for (bool stopFirst : {false, true}) {
        LookupHandle jobHandle;
        if (stopFirst) jobHandle.stop();
        EXPECT_EQ(jobHandle.open(drives[0].openRequest) >= 1, !stopFirst) << stopFirst;
        if (!stopFirst) jobHandle.stop();
        EXPECT_EQ(jobHandle.get(), 0) << stopFirst;
        const int next = getCDHandle(&drives[0].openRequest);
        EXPECT_GE(next, 1) << "the drive is free, stop first: " << stopFirst;
        releaseCDHandle(next);
    }
    LookupHandle stopped;
    stopped.stop();
    const std::atomic<bool> wanted{true};
    EXPECT_EQ(runDiscLookup(config(), drives[0].openRequest, stopped, wanted), "");
    EXPECT_TRUE(server.requests().empty()) << "a job stopped before it began asks nobody";
}

// A refresh stops the running lookup and starts the next one at once; the stopped job may still
// be reading its entry and end in the middle of the new one.
TEST_F(CddbLookup, AStoppedJobsEndAndResultNeverPassForTheNextJobs) {
    test::CddbTestServer newServer;
    server.addEntry(entry("0200b201", "Old", "Old title"));
    newServer.addEntry(entry("0200b201", "New", "New title"));
    for (auto* each : {&server, &newServer}) each->delayAnswers(600ms);
    settings.cddb.useLocalDatabase = false;
    useTimeouts({1000ms, 1000ms, 5000ms});

    const uintptr_t oldJob = start();
    ASSERT_TRUE(test::eventually([&] { return server.requests().size() == 2; }))
        << "the old job is reading";
    lookups->stopDiscLookup();
    useServer(newServer);
    const uintptr_t newJob = start();
    EXPECT_NE(newJob, oldJob);

    EXPECT_FALSE(finish(oldJob)) << "the stopped job's end";
    EXPECT_EQ(flags.lookupActive, 1) << "the new job is still running";
    const auto text = finish(newJob);
    ASSERT_TRUE(text);
    applyDiscInfoText(*text, disc, tracks);
    EXPECT_EQ(shown(), "Band / New / 2001: | New title | Second | Third");
    EXPECT_EQ(flags.lookupActive, 0);
    EXPECT_FALSE(lookups->finishDiscLookup(newJob)) << "an end is taken once";
}

TEST_F(CddbLookup, TakesChineseEntriesInGb18030AndUtf8Alike) {
    settings.cddb.useLocalDatabase = false;
    const std::string utf8Entry =
        "DTITLE=王菲 / "
        "唱游\r\nDYEAR=1998\r\nDGENRE=Pop\r\nTTITLE0=打错了\r\nTTITLE1=ab\r\nTTITLE2=c\r\n";
    for (const bool gb18030 : {true, false}) {
        test::CddbTestServer chinese;
        const auto encoded = [&](const std::string& text) {
            return gb18030 ? platform::utf8ToGbk(text) : text;
        };
        chinese.addEntry(
            {"rock", "10000803", encoded("王菲"), encoded("唱游"), encoded(utf8Entry)});
        useServer(chinese);
        lookUpAndApply();
        EXPECT_EQ(shown(), "王菲 / 唱游 / 1998: | 打错了 | ab | c") << gb18030;
    }
}

}  // namespace
}  // namespace lumbra
