// lumbra-rip's verdict lines, the AccurateRip settings of setup.ini and the read offset, against a
// loopback database: an offset found from the demo disc in a drive that reads 667 samples early is
// stored for the drive's model, and then corrected by every rip with that drive.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <csignal>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

#include "cli/lumbra_rip_runner.h"
#include "support/accuraterip_test_server.h"

namespace lumbra {
namespace {

class LumbraRipAccurateRip : public test::LumbraRip {
protected:
    test::AccurateRipTestServer server;

    LumbraRipAccurateRip() {
        accurateRip = true;
        home.write("setup.ini",
                   "[CDDB]\nCDDB_AUTO=0\n[ACCURATERIP]\nAR_SERVER=127.0.0.1\nAR_PORT=" +
                       std::to_string(server.port()) + "\n");
    }

    // The database's pressing of the demo disc, from the checksums of a rip by an exact drive.
    void serveDemoDisc() {
        server.setReply(test::httpReply(404, ""));
        const auto run = rip("--demo --tracks 1-3 --format wav --out " + home.file("exact"));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        AccurateRipPressing pressing{{4, 0x4f1a, 0x143bc, 0x23007d05}, {}};
        const std::regex line("TRACK \\d accuraterip v1 ([0-9a-f]{8}) ");
        for (std::sregex_iterator it(run.out.begin(), run.out.end(), line), end; it != end; ++it) {
            pressing.tracks.push_back({9, uint32_t(std::stoul((*it)[1], nullptr, 16)), 0});
        }
        pressing.tracks.push_back({9, 1, 0});  // the fourth audio track is not read
        ASSERT_EQ(pressing.tracks.size(), 4u);
        server.setReply(test::httpReply(200, test::accurateRipBody({pressing})));
    }
};

TEST_F(LumbraRipAccurateRip, EachDoneLineIsFollowedByItsVerdict) {
    const auto run = rip("--demo --tracks 1,2 --format wav --out " + home.file("music"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::regex lines(
        "TRACK 1 done [^\n]*\n"
        "TRACK 1 accuraterip v1 [0-9a-f]{8} v2 [0-9a-f]{8} crc32 [0-9a-f]{8} not-in-database\n"
        "(TRACK 2 [^\n]*\n)*"
        "TRACK 2 done [^\n]*\n"
        "TRACK 2 accuraterip v1 [0-9a-f]{8} v2 [0-9a-f]{8} crc32 [0-9a-f]{8} not-in-database\n");
    EXPECT_TRUE(std::regex_search(run.out, lines)) << run.out;
    // The demo disc: audio at 0, 1725, 4050 and 5100, a data track at 7875, the lead-out at 9375.
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_TRUE(server.requests()[0].starts_with(
        "GET /accuraterip/a/1/f/dBAR-004-00004f1a-000143bc-23007d05.bin HTTP/1.0\r\n"))
        << server.requests()[0];
    // The first start wrote the settings that were missing.
    const std::string ini = home.read("setup.ini");
    EXPECT_NE(ini.find("AR_ENABLE=1"), std::string::npos) << ini;
}

TEST_F(LumbraRipAccurateRip, TurnedOffItAsksNothingAndPrintsNoVerdicts) {
    const auto run =
        rip("--demo --tracks 1 --format wav --no-accuraterip --out " + home.file("music"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("accuraterip"), std::string::npos) << run.out;
    EXPECT_TRUE(server.requests().empty());
}

// Ctrl-C ends a rip or an offset search whose database never answers at once, not after the
// exchange's time-outs (30 s and more).
TEST_F(LumbraRipAccurateRip, CtrlCEndsAnExchangeWithASilentDatabase) {
    server.neverAnswer();
    const std::string runs[] = {"--tracks 1 --format wav --out " + home.file("music"),
                                "--find-offset"};
    for (size_t run = 0; run < std::size(runs); ++run) {
        const pid_t pid = start("--demo " + runs[run], home.path(), "");
        for (int i = 0; i < 200 && server.requests().size() <= run; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_EQ(server.requests().size(), run + 1) << runs[run];
        kill(pid, SIGINT);
        bool ended = false;
        for (int i = 0; i < 100 && !ended; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            ended = waitpid(pid, nullptr, WNOHANG) == pid;
        }
        if (!ended) {
            ADD_FAILURE() << "still running 10 s after Ctrl-C: " << runs[run];
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
}

TEST_F(LumbraRipAccurateRip, FoundOffsetIsStoredAndCorrectsLaterRips) {
    serveDemoDisc();
    setenv("LUMBRA_VIRTUAL_FAULTS", "offset=667", 1);
    const auto uncorrected = rip("--demo --tracks 2 --format wav --out " + home.file("a"));
    EXPECT_NE(uncorrected.out.find(" mismatch\n"), std::string::npos) << uncorrected.out;

    const auto found = rip("--demo --find-offset --yes");
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_TRUE(found.out.starts_with("OFFSET +667 tracks 2 confidence 9\n")) << found.out;
    EXPECT_NE(found.out.find("stored read offset +667 for LUMBRA VIRTUAL CD-ROM 1.0"),
              std::string::npos)
        << found.out;
    EXPECT_NE(home.read("setup.ini").find("[READ_OFFSET]\nLUMBRA VIRTUAL CD-ROM 1.0=667"),
              std::string::npos);

    const auto corrected = rip("--demo --tracks 2 --format wav --out " + home.file("b"));
    EXPECT_NE(corrected.out.find(" accurate 9\n"), std::string::npos) << corrected.out;
    const auto overridden =
        rip("--demo --tracks 2 --format wav --read-offset -5 --out " + home.file("c"));
    EXPECT_NE(overridden.out.find(" mismatch\n"), std::string::npos) << overridden.out;
}

TEST_F(LumbraRipAccurateRip, FindingSaysWhyThereIsNoOffset) {
    server.setReply(test::httpReply(404, ""));
    const auto absent = rip("--demo --find-offset --yes");
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_NE(absent.err.find("不在 AccurateRip 数据库中"), std::string::npos) << absent.err;

    server.setReply(test::httpReply(
        200, test::accurateRipBody({{{4, 0x4f1a, 0x143bc, 0x23007d05},
                                     {{3, 1, 0}, {3, 2, 0}, {3, 3, 0}, {3, 4, 0}}}})));
    const auto none = rip("--demo --find-offset --yes");
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("没有找到与 AccurateRip 数据库相符的读取偏移"), std::string::npos)
        << none.err;
    EXPECT_EQ(home.read("setup.ini").find("READ_OFFSET"), std::string::npos);
}

TEST_F(LumbraRipAccurateRip, TestAndCopyPrintsTheFirstReadsCrc) {
    server.setReply(test::httpReply(404, ""));
    const auto run =
        rip("--demo --tracks 1 --format wav --test-and-copy --out " + home.file("music"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::regex line(
        "TRACK 1 accuraterip v1 [0-9a-f]{8} v2 [0-9a-f]{8} crc32 ([0-9a-f]{8}) "
        "test-crc32 ([0-9a-f]{8}) not-in-database\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_search(run.out, match, line)) << run.out;
    EXPECT_EQ(match[1], match[2]);
}

}  // namespace
}  // namespace lumbra
