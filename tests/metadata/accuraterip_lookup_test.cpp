// The database's replies as the client meets them: parsed defensively, judged per track, fetched
// over loopback straight or through a proxy, and kept for offline use.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "metadata/accuraterip_client.h"
#include "support/accuraterip_test_server.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using Outcome = AccurateRipLookup::Outcome;

const AccurateRipDiscId kDisc{3, 0x00012345, 0x00abcdef, 0x1f02ad03};
const AccurateRipDiscId kOtherDisc{3, 0x00012346, 0x00abcdef, 0x1f02ad03};

AccurateRipPressing pressing(const AccurateRipDiscId& id, std::vector<AccurateRipTrack> tracks) {
    return {id, std::move(tracks)};
}

const AccurateRipPressing kFirstPressing =
    pressing(kDisc, {{12, 0x11111111, 1}, {12, 0x22222222, 2}, {11, 0x33333333, 3}});
const AccurateRipPressing kSecondPressing =
    pressing(kDisc, {{30, 0xa1111111, 4}, {0, 0xa2222222, 5}, {31, 0x33333333, 6}});

TEST(AccurateRipReply, ReadsWholeBlocksAndDropsACutOffOne) {
    const std::string body = test::accurateRipBody({kFirstPressing, kSecondPressing});
    ASSERT_EQ(body.size(), 2 * (13 + 3 * 9u));
    const auto both = parseAccurateRipReply(body);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].id, kDisc);
    EXPECT_EQ(both[1].tracks[2].confidence, 31);
    EXPECT_EQ(both[1].tracks[2].checksum, 0x33333333u);
    EXPECT_EQ(both[1].tracks[2].frame450, 6u);
    for (size_t cut = 0; cut < body.size(); ++cut) {
        EXPECT_EQ(parseAccurateRipReply(body.substr(0, cut)).size(), cut < 40 ? 0u : 1u) << cut;
    }
    // A block claiming 255 tracks that are not there ends the list, whatever follows.
    EXPECT_TRUE(parseAccurateRipReply(std::string("\xff", 1) + body).empty());
}

TEST(AccurateRipReply, HttpHeaderGivesStatusAndBody) {
    const std::string reply = std::string("HTTP/1.1 200 OK\r\nA: b\r\n\r\n\x01") + '\0' + "z";
    const auto ok = splitHttpReply(reply);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->status, 200);
    EXPECT_EQ(ok->body.size(), 3u);
    EXPECT_FALSE(splitHttpReply("HTTP/1.0 200 OK\r\nno end"));
    EXPECT_FALSE(splitHttpReply("HTTP/1.0 2x0 OK\r\n\r\n"));
    EXPECT_FALSE(splitHttpReply("HTTP/1.0\r\n\r\n 200"));
    EXPECT_FALSE(splitHttpReply(std::string("\x03\x45\x23\x01\x00", 5)));
}

TEST(AccurateRipVerdict, HighestConfidenceOfAMatchingTrackWithEitherChecksum) {
    const AccurateRipLookup lookup = lookupFromReply({kFirstPressing, kSecondPressing}, kDisc);
    // Track 3 is in both pressings: the higher confidence wins.
    auto verdict = verdictFor(lookup, 3, 0x33333333, 0x99);
    EXPECT_EQ(verdict.result, AccurateRipResult::Accurate);
    EXPECT_EQ(verdict.confidence, 31);
    EXPECT_FALSE(verdict.matchedV2);
    verdict = verdictFor(lookup, 1, 0x99, 0xa1111111);
    EXPECT_EQ(verdict.confidence, 30);
    EXPECT_TRUE(verdict.matchedV2);
    // A checksum with confidence 0 proves nothing.
    EXPECT_EQ(verdictFor(lookup, 2, 0xa2222222, 0).result, AccurateRipResult::Mismatch);
    EXPECT_EQ(verdictFor(lookup, 4, 0x11111111, 0).result, AccurateRipResult::Mismatch);
    EXPECT_EQ(verdictFor(lookup, 0, 0x11111111, 0).result, AccurateRipResult::Mismatch);
}

TEST(AccurateRipVerdict, ReplyAboutAnotherDiscVerifiesNothing) {
    const AccurateRipLookup lookup =
        lookupFromReply({pressing(kOtherDisc, kFirstPressing.tracks)}, kDisc);
    EXPECT_EQ(lookup.outcome, Outcome::Unavailable);
    EXPECT_EQ(verdictFor(lookup, 1, 0x11111111, 0).result, AccurateRipResult::Unavailable);
    EXPECT_EQ(verdictFor({Outcome::NotInDatabase, {}}, 1, 0, 0).result,
              AccurateRipResult::NotInDatabase);
}

class AccurateRipClient : public ::testing::Test {
protected:
    test::TempDir dir;
    test::AccurateRipTestServer server;
    AccurateRipConfig config;

    AccurateRipClient() {
        config.serverHost = "127.0.0.1";
        config.serverPort = server.port();
        config.cacheFolder = dir.path() + "/AccurateRip";
        config.timeouts = {1000ms, 1000ms, 300ms, 600ms};
    }
};

TEST_F(AccurateRipClient, FetchesTheDiscsFileAndKeepsItForOfflineRips) {
    server.setReply(test::httpReply(200, test::accurateRipBody({kFirstPressing})));
    const AccurateRipLookup online = fetchAccurateRip(config, kDisc);
    ASSERT_EQ(online.outcome, Outcome::Found);
    EXPECT_EQ(online.pressings.size(), 1u);
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(server.requests()[0].starts_with(
        "GET /accuraterip/5/4/3/dBAR-003-00012345-00abcdef-1f02ad03.bin HTTP/1.0\r\n"))
        << server.requests()[0];
    EXPECT_NE(server.requests()[0].find("Host: 127.0.0.1:"), std::string::npos);

    config.serverPort = 1;  // nothing listens there
    const AccurateRipLookup offline = fetchAccurateRip(config, kDisc);
    EXPECT_EQ(offline.outcome, Outcome::Found);
    EXPECT_EQ(offline.pressings.size(), 1u);
}

// A silent server ends within the time-outs.
TEST_F(AccurateRipClient, BadAnswersAreUnavailableAndNeverReplaceTheCache) {
    const std::string cut = test::accurateRipBody({kFirstPressing}).substr(0, 30);
    for (const std::string& reply :
         {test::httpReply(200, cut), test::httpReply(500, ""),
          test::httpReply(200, test::accurateRipBody({pressing(kOtherDisc, {})})),
          std::string("garbage")}) {
        server.setReply(reply);
        EXPECT_EQ(fetchAccurateRip(config, kDisc).outcome, Outcome::Unavailable);
    }
    EXPECT_FALSE(std::filesystem::exists(accurateRipCachePath(config, kDisc)));
    server.setReply(test::httpReply(404, ""));
    EXPECT_EQ(fetchAccurateRip(config, kDisc).outcome, Outcome::NotInDatabase);

    server.neverAnswer();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(fetchAccurateRip(config, kDisc).outcome, Outcome::Unavailable);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s) << "a silent server is left";
}

TEST_F(AccurateRipClient, ThroughAProxyAsksForTheWholeAddressWithCredentials) {
    config.serverHost = "www.example.org";
    config.serverPort = 80;
    config.useProxy = true;
    config.proxyHost = "127.0.0.1";
    config.proxyPort = server.port();
    config.proxyCredentials = "user:secret";
    server.setReply(test::httpReply(200, test::accurateRipBody({kFirstPressing})));
    EXPECT_EQ(fetchAccurateRip(config, kDisc).outcome, Outcome::Found);
    ASSERT_EQ(server.requests().size(), 1u);
    const std::string request = server.requests()[0];
    EXPECT_TRUE(request.starts_with("GET http://www.example.org/accuraterip/5/4/3/"));
    EXPECT_NE(request.find("Host: www.example.org\r\n"), std::string::npos);
    EXPECT_NE(request.find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"), std::string::npos);
}

}  // namespace
}  // namespace lumbra
