// The CDDB client against a server on loopback, for a one-track disc in a virtual drive: the
// bytes it sends, straight and through a proxy, and how it survives servers that misbehave.
#include "metadata/cddb_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "cddb_test_disc.h"
#include "cdaccess/drive_discovery.h"
#include "metadata/disc_lookup_job.h"
#include "metadata/local_disc_database.h"
#include "metadata/recent_disc_table.h"
#include "platform/profile_file.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using test::ServerBehaviour;

// One audio track from 00:02:00 to a lead-out at 03:00:10: disc ID 0200b201.
constexpr int kOneTrackFrames = 13360;
constexpr uint32_t kLocalKey = 0x200;  // the track's start, 00:02:00, packed
constexpr const char* kQueryBody = "cmd=cddb+query+0200b201+1+150+180&hello=ripper+example.org+Lumbra+Software&proto=6";

const test::CddbTestEntry kFirst{"rock", "0200b201", "Band", "First Album",
                                 "DISCID=0200b201\r\nDTITLE=Band / First Album\r\nDYEAR=1999\r\nDGENRE=Pop\r\n"
                                 "TTITLE0=Opening\r\n"};
const test::CddbTestEntry kSecond{"misc", "0200b202", "Other", "Second", "DTITLE=Other / Second\r\n"};
const test::CddbTestEntry kThird{"jazz", "0200b203", "Third", "Album", "DTITLE=Third / Album\r\n"};

class CddbExchange : public test::IsolatedCdAccess {
protected:
    // Three minutes of audio take a while to write, so every test shares one image.
    static void SetUpTestSuite() {
        imageDir = std::make_unique<test::TempDir>();
        cuePath = test::writeCueImage(imageDir->path(), "one", {kOneTrackFrames}).cuePath;
    }
    static void TearDownTestSuite() { imageDir.reset(); }

    void SetUp() override {
        IsolatedCdAccess::SetUp();
        forgetRecentDiscs();
        startVirtualDrives(cuePath);
        test::putDiscIn(cuePath);
        std::vector<DriveEntry> drives;
        ASSERT_EQ(buildDriveList(drives), 1);
        handle = getCDHandle(&drives[0].openRequest);
        ASSERT_GE(handle, 1);
        config.serverHost = "127.0.0.1";
        config.serverPort = server.port();
        config.helloUser = "ripper+example.org";
        config.clientName = "Lumbra+Software";
        config.protocolLevel = 6;
        config.useLocalDatabase = false;
        config.localDatabaseFile = dir.file("cdinfo.db");
        config.timeouts = {1000ms, 1000ms, 300ms};
    }
    void TearDown() override {
        if (handle > 0) releaseCDHandle(handle);
        IsolatedCdAccess::TearDown();
    }

    CddbMatchList query() {
        CddbMatchList matches{{"stale", "1", "", ""}};
        EXPECT_EQ(cddbQuery(config, handle, matches, kLookupMatchCapacity), 1);
        return matches;
    }
    // The read's text, or "status 4" with the text left alone.
    std::string read(const CddbMatch& match, size_t capacity = kLookupTextCapacity) {
        std::string text = "untouched";
        return cddbRead(config, match, text, capacity) == 1 ? text : "status 4, " + text;
    }
    void useProxy(const char* credentials) {
        config.useProxy = true;
        config.proxyHost = "127.0.0.1";
        config.proxyPort = server.port();
        config.serverHost = "cddb.example.org";
        config.serverPort = 80;
        setCddbOption(config, CddbOption::ProxyCredentials, credentials, 0);
    }
    static std::string requestFor(const std::string& head) {
        return head + "Content-Type: application/x-www-form-urlencoded\r\nUser-Agent: Zentor090\r\n";
    }

    static inline std::unique_ptr<test::TempDir> imageDir;
    static inline std::string cuePath;

    test::TempDir dir;
    test::CddbTestServer server;
    CddbConfig config;
    int handle = 0;
};

TEST_F(CddbExchange, SendsTheQueryStraightToTheServer) {
    server.addEntry(kFirst);
    const auto matches = query();
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].artist + " / " + matches[0].title, "Band / First Album");
    const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
    EXPECT_EQ(server.requests(),
              std::vector<std::string>{requestFor("POST /~cddb/cddb.cgi HTTP/1.0\r\n" + host) +
                                       "Content-Length: 84\r\n\r\n" + kQueryBody + "\r\n"});
}

TEST_F(CddbExchange, SendsTheQueryThroughAProxyWithCredentials) {
    server.addEntry(kFirst);
    server.demandProxyAuthorization("Basic dXNlcjpzZWNyZXQ=");
    useProxy("user:secret");
    EXPECT_EQ(query().size(), 1u) << "the proxy took the credentials";
    EXPECT_EQ(server.requests(),
              std::vector<std::string>{
                  requestFor("POST http://cddb.example.org/~cddb/cddb.cgi HTTP/1.0\r\nHost: cddb.example.org\r\n") +
                  "Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\nContent-Length: 84\r\n\r\n" + kQueryBody + "\r\n"});
}

TEST_F(CddbExchange, SendsNoCredentialsForAProxyUserWithoutPassword) {
    server.addEntry(kFirst);
    server.demandProxyAuthorization("Basic dXNlcjpzZWNyZXQ=");
    CddbSettings settings;
    settings.currentServer = {"cddb.example.org", 80, "/~cddb/cddb.cgi"};
    settings.useProxy = true;
    settings.proxyHost = "127.0.0.1";
    settings.proxyPort = server.port();
    settings.proxyUser = "user";
    settings.email = "ripper@example.org";
    config = lookupClientConfig(settings, config.timeouts);
    EXPECT_TRUE(query().empty()) << "the proxy's refusal is no match";
    EXPECT_EQ(server.requests(),
              std::vector<std::string>{
                  requestFor("POST http://cddb.example.org/~cddb/cddb.cgi HTTP/1.0\r\nHost: cddb.example.org\r\n") +
                  "Content-Length: 84\r\n\r\n" + kQueryBody + "\r\n"});
    EXPECT_EQ(read({"rock", "0200b201", "", ""}), "status 4, untouched");
}

TEST_F(CddbExchange, ListsInexactMatchesAndFilesTheReadEntryUnderTheLocalKey) {
    for (const auto& entry : {kFirst, kSecond, kThird}) server.addEntry(entry);
    config.useLocalDatabase = true;
    const auto matches = query();
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[1].category + " " + matches[1].discId, "misc 0200b202");
    for (uint32_t id : {0x0200b201u, 0x0200b202u, 0x0200b203u}) {
        ASSERT_TRUE(findByDiscId(id)) << std::hex << id;
        EXPECT_EQ(findByDiscId(id)->localKey, kLocalKey);
    }
    const std::string text = read(matches[0]);
    EXPECT_EQ(text, "DISCID=0200b201\r\nDTITLE=Band / First Album\r\nDYEAR=1999\r\nDGENRE=rock\r\nTTITLE0=Opening\r\n");
    EXPECT_EQ(platform::profileReadString(config.localDatabaseFile, "200", "0", ""), "Opening");
    EXPECT_EQ(platform::profileReadString(config.localDatabaseFile, "200", "genre", ""), "rock");
    EXPECT_NE(server.requests().back().find("cmd=cddb+read+rock+0200b201&hello=ripper+example.org+Lumbra+Software"
                                            "&proto=6\r\n"),
              std::string::npos);
}

TEST_F(CddbExchange, AnswersFromTheLocalDatabaseWhenTheServerKnowsNothing) {
    config.useLocalDatabase = true;
    EXPECT_TRUE(query().empty()) << "202 and no local entry";
    dir.write("cdinfo.db", "[200]\r\nartist=Local\r\ntitle=Copy\r\ngenre=folk\r\nnumtracks=1\r\n0=Stored\r\n");
    server.answerQueriesWith("500 Internal server error: the database is down");
    const auto matches = query();
    ASSERT_EQ(matches.size(), 1u);
    EXPECT_EQ(matches[0].category + " " + matches[0].discId, "cdplayerini 200");
    const size_t requestsBefore = server.requests().size();
    const std::string text = read(matches[0]);
    EXPECT_NE(text.find("DTITLE=Local / Copy\r\nDYEAR=\r\nDGENRE=folk\r\nTTITLE0=Stored\r\n"), std::string::npos);
    EXPECT_EQ(server.requests().size(), requestsBefore) << "a local entry is read without the network";
}

TEST_F(CddbExchange, SurvivesServersThatMisbehave) {
    for (const auto& entry : {kFirst, kSecond, kThird}) server.addEntry(entry);
    const CddbMatch first{"rock", "0200b201", "Band", "First Album"};

    server.setBehaviour(ServerBehaviour::NeverAnswer);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(query().empty());
    EXPECT_EQ(read(first), "status 4, untouched");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "each exchange ends at its time-out";

    server.setBehaviour(ServerBehaviour::Garbage);
    EXPECT_TRUE(query().empty());
    EXPECT_EQ(read(first), "status 4, untouched");

    server.setBehaviour(ServerBehaviour::CloseMidReply);
    EXPECT_LT(query().size(), 3u);
    const std::string half = read(first);
    EXPECT_EQ(kFirst.text.substr(0, half.size()), half) << "what came is used as it is";

    server.setBehaviour(ServerBehaviour::Flood);
    const auto flooded = query();
    EXPECT_FALSE(flooded.empty());
    EXPECT_LE(flooded.size(), kLookupMatchCapacity);
    const std::string cut = read(first, 4000);
    EXPECT_LT(cut.size(), 4000u);
    EXPECT_TRUE(cut.starts_with("TTITLE0=Endless\r\n")) << cut.substr(0, 40);
}

TEST_F(CddbExchange, ARefusedConnectionIsAnEmptyReply) {
    config.serverPort = [] {
        test::CddbTestServer closed;
        return closed.port();
    }();
    EXPECT_TRUE(query().empty());
    EXPECT_EQ(postCddbRequest(config, config.queryPath, "cmd=cddb+query", 2048), "");
}

}  // namespace
}  // namespace lumbra
