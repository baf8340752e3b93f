// lumbra-rip run as a user runs it, against virtual drives.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sys/wait.h>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
};

ProgramRun runLumbraRip(const std::string& arguments) {
    ProgramRun run;
    FILE* pipe = popen((std::string(LUMBRA_RIP_PROGRAM) + " " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> chunk;
    size_t n;
    while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.out.append(chunk.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    }
    return lines;
}

class LumbraRip : public test::IsolatedCdAccess {
protected:
    // Automatic lookup is on by default, and tests talk to no server but their own.
    LumbraRip() { home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n"); }

    test::TempDir home;
};

TEST_F(LumbraRip, ListsTheDemoDiscsDrivesAndTracks) {
    const ProgramRun run = runLumbraRip("--home " + home.path() + " --demo --list");
    EXPECT_EQ(run.exitCode, 0);
    const auto drives = linesStartingWith(run.out, "DRIVE ");
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_TRUE(std::regex_match(drives[0], std::regex(R"(DRIVE 0 LUMBRA  , VIRTUAL CD-ROM   v1\.0  \(0:0:0\) demo)")))
        << drives[0];
    const auto discId = linesStartingWith(run.out, "DISCID ");
    ASSERT_EQ(discId.size(), 1u);
    EXPECT_TRUE(std::regex_match(discId[0], std::regex("DISCID [0-9a-f]{8}"))) << discId[0];
    EXPECT_LT(run.out.find("DISCID"), run.out.find("TRACK")) << "the ID comes before the tracks";
    const auto tracks = linesStartingWith(run.out, "TRACK ");
    ASSERT_GE(tracks.size(), 5u);
    EXPECT_TRUE(std::regex_match(tracks[0], std::regex(R"(TRACK 1 0 \d+ 00:[1-4]\d 音轨 01)"))) << tracks[0];
}

TEST_F(LumbraRip, AnUnusableImageIsAnEmptyDriveAndBadUsageIsRefused) {
    std::ofstream(home.file("broken.cue")) << "FILE \"absent.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    EXPECT_EQ(runLumbraRip("--home " + home.path() + " --image " + home.file("broken.cue") + " --list").exitCode, 1);
    EXPECT_EQ(runLumbraRip("--list --drive x").exitCode, 2);
    EXPECT_EQ(runLumbraRip("--demo --format flac").exitCode, 2);
    EXPECT_EQ(runLumbraRip("--demo --tracks 3-1").exitCode, 2);
    EXPECT_EQ(runLumbraRip("--home " + home.path() + " --demo --drive 3 --list").exitCode, 2);
}

TEST_F(LumbraRip, ASecondInstanceLeavesTheFirstOnesHandleAlone) {
    startVirtualDrives("demo");
    const OpenDriveRequest request{kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    EXPECT_EQ(runLumbraRip("--home " + home.path() + " --demo --list").exitCode, 1) << "the drive is in use";
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(handle, toc), kResultDone);
    EXPECT_EQ(releaseCDHandle(handle), 1);
    EXPECT_EQ(runLumbraRip("--home " + home.path() + " --demo --list").exitCode, 0);
}

class LumbraRipLookup : public LumbraRip {
protected:
    void SetUp() override {
        LumbraRip::SetUp();
        cuePath = test::writeCueImage(home.path(), "disc", {300, 200}).cuePath;
        server.addEntry({"rock", "0200b201", "乐队", "专辑",
                         "DTITLE=乐队 / 专辑\r\nDYEAR=2003\r\nDGENRE=Rock\r\nTTITLE0=第一首\r\nTTITLE1=Second\r\n"});
    }

    void configure(bool automaticLookup) {
        home.write("setup.ini", "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                                    std::to_string(server.port()) +
                                    "\nCDDB_QUERY0=/~cddb/cddb.cgi\nCDDB_LOCATION0=loopback\nCDDB_AUTO=" +
                                    (automaticLookup ? "1" : "0") + "\nCDDB_USE_LOCALCDDB=1\nCDDB_LOCALCDDB_PATH=" +
                                    home.file("Local CDDB") + "\nCDDB_EMAIL=ripper@example.org\n");
    }
    ProgramRun run(const std::string& arguments) {
        return runLumbraRip("--home " + home.path() + " --image " + cuePath + " " + arguments);
    }

    std::string cuePath;
    test::CddbTestServer server;
};

TEST_F(LumbraRipLookup, ListsAndRipsUnderTheLookedUpTitles) {
    configure(true);
    const ProgramRun listed = run("--list");
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(linesStartingWith(listed.out, "TRACK 1 ")[0], "TRACK 1 0 300 00:04 第一首") << listed.out;
    EXPECT_EQ(linesStartingWith(listed.out, "TRACK 2 ")[0], "TRACK 2 300 200 00:02 Second");
    EXPECT_EQ(linesStartingWith(listed.out, "ARTIST ")[0], "ARTIST 乐队");
    EXPECT_EQ(linesStartingWith(listed.out, "ALBUM ")[0], "ALBUM 专辑");
    ASSERT_EQ(server.requests().size(), 2u) << "a query and a read";
    EXPECT_NE(server.requests()[0].find("&hello=ripper+example.org+Lumbra+Software&proto=6\r\n"), std::string::npos);

    server.setBehaviour(test::ServerBehaviour::NeverAnswer);
    const ProgramRun ripped = run("--format wav --out " + home.file("out") + " --yes");
    EXPECT_EQ(ripped.exitCode, 0) << ripped.out;
    EXPECT_EQ(linesStartingWith(ripped.out, "连接到 CDDB...").size(), 1u) << ripped.out;
    EXPECT_LT(ripped.out.find("连接到 CDDB..."), ripped.out.find("TRACK 1"));
    for (const char* file : {"/out/乐队/专辑/第一首.wav", "/out/乐队/专辑/Second.wav"}) {
        EXPECT_TRUE(std::ifstream(home.path() + file).good()) << file;
    }
    EXPECT_EQ(server.requests().size(), 2u) << "the local database knew the disc";
}

TEST_F(LumbraRipLookup, LooksUpAsSetupIniSaysUnlessToldOtherwise) {
    configure(false);
    EXPECT_EQ(linesStartingWith(run("--list").out, "TRACK 1 ")[0], "TRACK 1 0 300 00:04 音轨 01");
    EXPECT_TRUE(server.requests().empty());
    EXPECT_EQ(linesStartingWith(run("--list --lookup").out, "TRACK 1 ")[0], "TRACK 1 0 300 00:04 第一首");
    EXPECT_EQ(server.requests().size(), 2u);
    configure(true);
    const ProgramRun declined = run("--list --no-lookup");
    EXPECT_EQ(linesStartingWith(declined.out, "TRACK 1 ")[0], "TRACK 1 0 300 00:04 音轨 01");
    EXPECT_TRUE(linesStartingWith(declined.out, "ARTIST ").empty());
    EXPECT_EQ(server.requests().size(), 2u);
}

}  // namespace
}  // namespace lumbra
