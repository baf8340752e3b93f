// lumbra-rip's verdict lines and the AccurateRip settings of setup.ini, against a loopback
// database.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <csignal>

#include <chrono>
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

}  // namespace
}  // namespace lumbra
