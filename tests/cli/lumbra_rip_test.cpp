// lumbra-rip run as a user runs it, against virtual drives.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "cli/lumbra_rip_runner.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"

namespace lumbra {
namespace {

using test::LumbraRip;
using test::ProgramRun;

TEST_F(LumbraRip, ListsTheDemoDiscAndRefusesAnUnusableImageAndBadUsage) {
    const ProgramRun run = rip("--demo --list");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.line("DRIVE "), "DRIVE 0 LUMBRA  , VIRTUAL CD-ROM   v1.0  (0:0:0) demo");
    EXPECT_TRUE(std::regex_search(run.out, std::regex("\nDISCID [0-9a-f]{8}\nTRACK 1 ")))
        << run.out;
    const std::regex firstTrack(R"(TRACK 1 0 \d+ 00:[1-4]\d 音轨 01)");
    EXPECT_TRUE(std::regex_match(run.line("TRACK "), firstTrack)) << run.out;

    home.write("broken.cue", "FILE \"absent.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n");
    EXPECT_EQ(rip("--image " + home.file("broken.cue") + " --list").exitCode, 1);
    for (const char* usage : {"--list --drive x", "--demo --format flac", "--demo --tracks 3-1",
                              "--demo --drive 3 --list"}) {
        EXPECT_EQ(rip(usage).exitCode, 2) << usage;
    }
}

TEST_F(LumbraRip, ASecondInstanceLeavesTheFirstOnesHandleAlone) {
    startVirtualDrives("demo");
    const OpenDriveRequest request{
        kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    EXPECT_EQ(rip("--demo --list").exitCode, 1) << "the drive is in use";
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(handle, toc), kResultDone);
    EXPECT_EQ(releaseCDHandle(handle), 1);
    EXPECT_EQ(rip("--demo --list").exitCode, 0);
}

class LumbraRipLookup : public LumbraRip {
protected:
    LumbraRipLookup() {
        server.addEntry(
            {"rock", "0200b201", "乐队", "专辑",
             "DTITLE=乐队 / 专辑\r\nDYEAR=2003\r\nTTITLE0=第一首\r\nTTITLE1=Second\r\n"});
    }

    void configure(bool automaticLookup) {
        home.write("setup.ini",
                   "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                       std::to_string(server.port()) +
                       "\nCDDB_QUERY0=/~cddb/cddb.cgi\nCDDB_USE_LOCALCDDB=1\nCDDB_AUTO=" +
                       (automaticLookup ? "1" : "0") +
                       "\nCDDB_LOCALCDDB_PATH=" + home.file("Local CDDB") + "\n");
    }
    ProgramRun run(const std::string& arguments) {
        return rip("--image " + cuePath + " " + arguments);
    }

    const std::string cuePath = test::writeCueImage(home.path(), "disc", {300, 200}).cuePath;
    test::CddbTestServer server;
};

TEST_F(LumbraRipLookup, ListsAndRipsUnderTheLookedUpTitles) {
    configure(true);
    const ProgramRun listed = run("--list");
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.line("TRACK 1 "), "TRACK 1 0 300 00:04 第一首") << listed.out;
    EXPECT_EQ(listed.line("TRACK 2 "), "TRACK 2 300 200 00:02 Second");
    EXPECT_EQ(listed.line("ARTIST "), "ARTIST 乐队");
    EXPECT_EQ(listed.line("ALBUM "), "ALBUM 专辑");
    EXPECT_EQ(server.requests().size(), 2u) << "a query and a read";

    server.setBehaviour(test::ServerBehaviour::NeverAnswer);
    const ProgramRun ripped = run("--format wav --out " + home.file("out") + " --yes");
    EXPECT_EQ(ripped.exitCode, 0) << ripped.out;
    const size_t connecting = ripped.out.find("连接到 CDDB...");
    EXPECT_EQ(connecting, ripped.out.rfind("连接到 CDDB...")) << "said once, " << ripped.out;
    EXPECT_LT(connecting, ripped.out.find("TRACK 1"));
    for (const char* file : {"/out/乐队/专辑/第一首.wav", "/out/乐队/专辑/Second.wav"}) {
        EXPECT_TRUE(std::ifstream(home.path() + file).good()) << file;
    }
    EXPECT_EQ(server.requests().size(), 2u) << "the local database knew the disc";
}

TEST_F(LumbraRipLookup, LooksUpAsSetupIniSaysUnlessToldOtherwise) {
    const std::string untitled = "TRACK 1 0 300 00:04 音轨 01";
    configure(false);
    EXPECT_EQ(run("--list").line("TRACK 1 "), untitled);
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(run("--list --lookup").line("TRACK 1 "), "TRACK 1 0 300 00:04 第一首");
    EXPECT_EQ(server.requests().size(), 2u);
    configure(true);
    const ProgramRun declined = run("--list --no-lookup");
    EXPECT_EQ(declined.line("TRACK 1 "), untitled);
    EXPECT_EQ(declined.line("ARTIST "), "<none>");
    EXPECT_EQ(server.requests().size(), 2u);
}

}  // namespace
}  // namespace lumbra
