// lumbra-rip run as a user runs it, against virtual drives.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "platform/native_path.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int exitCode = -1;
    std::string out;

    // The first line that starts with `prefix`.
    std::string line(const std::string& prefix) const {
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) {
            if (line.starts_with(prefix)) return line;
        }
        return "<none>";
    }
};

class LumbraRip : public test::IsolatedCdAccess {
protected:
    // Automatic lookup is on by default, and tests talk to no server but their own.
    LumbraRip() { home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n"); }
    // Runs lumbra-rip in `folder`, the current folder when empty.
    ProgramRun rip(const std::string& arguments, const std::string& folder = ".") const {
        const std::string command =
            "cd '" + folder + "' && " LUMBRA_RIP_PROGRAM " --home " + home.path() + " " + arguments;
        const std::string redirected = command + " >" + home.file("out.txt") + " 2>/dev/null";
        const int status = std::system(redirected.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, home.read("out.txt")};
    }

    test::TempDir home;
};

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

TEST_F(LumbraRip, OverwritesAsTheCommandLineSaysWhateverSetupIniSays) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {30}).cuePath;
    const std::string target = home.file("out/音轨 01.wav");
    struct Case {
        int overwriteSetting;
        const char* answer;
        mode_t mode;
        bool replaced;
    };
    const Case cases[] = {
        {1, "--no", 0644, false}, {1, "--no", 0200, false}, {0, "--yes", 0644, true},
        {1, "", 0644, true},      {0, "", 0644, false},
    };
    for (const Case& c : cases) {
        home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n[GENERAL]\nGEN_OVERWRITE=" +
                                    std::to_string(c.overwriteSetting) + "\n");
        fs::create_directories(home.file("out"));
        home.write("out/音轨 01.wav", "old");
        ::chmod(target.c_str(), c.mode);
        const ProgramRun run = rip("--image " + cue + " --format wav --template '<Title>' --out " +
                                   home.file("out") + " " + c.answer + " </dev/null");
        ::chmod(target.c_str(), 0644);
        const std::string why = std::to_string(c.overwriteSetting) + " " + c.answer;
        EXPECT_EQ(home.read("out/音轨 01.wav") != "old", c.replaced) << why;
        EXPECT_EQ(run.exitCode, c.replaced ? 0 : 1) << why;
    }
}

TEST_F(LumbraRip, UsesTheOutputFolderAsTyped) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {30}).cuePath;
    const std::string typed = home.file("Music: Rock?\\v1. ");
    const ProgramRun run =
        rip("--image " + cue + " --format wav --template '<Title>' --out '" + typed + "'");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(fs::is_regular_file(typed + "/音轨 01.wav"));
}

// Both discs have the local key 200, as every one-track disc has.
TEST_F(LumbraRip, TwoOneTrackDiscsKeepTheirOwnTitles) {
    test::CddbTestServer first;
    test::CddbTestServer second;
    first.addEntry({"rock", "0800ec01", "A", "One", "DTITLE=A / One\r\nTTITLE0=First disc\r\n"});
    second.addEntry({"jazz", "0801ce01", "B", "Two", "DTITLE=B / Two\r\nTTITLE0=Second disc\r\n"});
    const auto useServer = [this](const test::CddbTestServer& server) {
        home.write("setup.ini", "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                                    std::to_string(server.port()) +
                                    "\nCDDB_QUERY0=/~cddb/cddb.cgi\nCDDB_USE_LOCALCDDB=1\n"
                                    "CDDB_LOCALCDDB_PATH=" +
                                    home.file("Local CDDB") + "\n");
    };
    const std::string a = test::writeCueImage(home.path(), "a", {300}).cuePath;
    const std::string b = test::writeCueImage(home.path(), "b", {530}).cuePath;
    useServer(first);
    EXPECT_EQ(rip("--image " + a + " --lookup --list").line("TRACK 1 "),
              "TRACK 1 0 300 00:04 First disc");
    useServer(second);
    EXPECT_EQ(rip("--image " + b + " --lookup --list").line("TRACK 1 "),
              "TRACK 1 0 530 00:07 Second disc");
    EXPECT_EQ(second.requests().size(), 2u) << "the server was asked";
    EXPECT_EQ(rip("--image " + b + " --lookup --list").line("TRACK 1 "),
              "TRACK 1 0 530 00:07 Second disc");
    EXPECT_EQ(second.requests().size(), 2u) << "the local database knew the second disc";
}

// A CDDB server whose titles try to write outside the output folder and to command the terminal.
class LumbraRipHostileReply : public LumbraRip {
protected:
    LumbraRipHostileReply() {
        fs::create_directories(sandbox.file("work/out"));
        const std::string outside = platform::toBackslashPath(sandbox.file("escaped"));
        server.addEntry(
            {"rock", "0200b201", "\\" + outside, "Album",
             "DTITLE=" + outside + "\\artist / Album\r\nTTITLE0=" + outside +
                 "\r\nTTITLE1=..\\..\\..\\..\\..\\..\\..\\..\\" + outside +
                 "-up\r\nTTITLE2=/tmp/escaped\r\nTTITLE3=\x1b]0;owned\x07\x1b[2J\x7f\r\n"});
        home.write("setup.ini", "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                                    std::to_string(server.port()) +
                                    "\nCDDB_QUERY0=/~cddb/cddb.cgi\nCDDB_USE_LOCALCDDB=0\n");
    }

    test::TempDir sandbox;
    const std::string cuePath = test::writeCueImage(home.path(), "disc", {30, 30, 30, 30}).cuePath;
    test::CddbTestServer server;
};

TEST_F(LumbraRipHostileReply, NothingFromTheReplyLeavesTheFolderOrReachesTheTerminal) {
    const ProgramRun listed = rip("--image " + cuePath + " --lookup --list");
    EXPECT_EQ(listed.out.find_first_of("\x1b\x07\x7f"), std::string::npos) << listed.out;
    EXPECT_NE(listed.line("TRACK 4 "), "<none>") << listed.out;

    const std::string folders[] = {"''", ".", "./", sandbox.file("work/out")};
    for (const std::string& out : folders) {
        for (const char* templateText : {"'<Title>'", "'<Artist> \\ <Title>'"}) {
            const ProgramRun run =
                rip("--image " + cuePath + " --lookup --yes --format wav --out " + out +
                        " --template " + templateText,
                    sandbox.file("work"));
            EXPECT_EQ(run.exitCode, 0) << out << run.out;
            EXPECT_EQ(run.out.find_first_of("\x1b\x07\x7f"), std::string::npos) << run.out;
        }
    }
    int ripped = 0;
    for (const auto& entry : fs::recursive_directory_iterator(sandbox.path())) {
        if (!entry.is_regular_file()) continue;
        const std::string path = entry.path().string();
        EXPECT_TRUE(path.starts_with(sandbox.file("work/"))) << path;
        EXPECT_EQ(path.find_first_of("\x1b\x07\x7f"), std::string::npos) << path;
        ++ripped;
    }
    EXPECT_EQ(ripped, 16) << "four tracks, two templates, in the current folder and in out/";
    EXPECT_FALSE(fs::exists("/tmp/escaped.wav"));
}

}  // namespace
}  // namespace lumbra
