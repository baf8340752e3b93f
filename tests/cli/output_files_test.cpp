// What lumbra-rip does to the user's files: where they go, when they are replaced, and what a
// stopped or killed rip leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "cli/lumbra_rip_runner.h"
#include "platform/atomic_file.h"
#include "platform/native_path.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;
using test::LumbraRip;
using test::ProgramRun;

// The regular files below `folder`, one path (relative to it) a line, in order.
std::string filesIn(const std::string& folder) {
    std::set<std::string> sorted;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) sorted.insert(fs::relative(entry.path(), folder).string());
    }
    std::string files;
    for (const std::string& file : sorted) files += file + "\n";
    return files;
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
    const std::string a = test::writeCueImage(home.path(), "a", {300}).cuePath;
    const std::string b = test::writeCueImage(home.path(), "b", {530}).cuePath;
    useCddbServer(first.port(), localDatabaseLines());
    EXPECT_EQ(rip("--image " + a + " --lookup --list").line("TRACK 1 "),
              "TRACK 1 0 300 00:04 First disc");
    useCddbServer(second.port(), localDatabaseLines());
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
        useCddbServer(server.port(), "CDDB_USE_LOCALCDDB=0\n");
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

// The delay makes each read of the 3,000-frame track take 10 ms, so the rip is surely mid-track.
TEST_F(LumbraRip, AStoppedRipLeavesNoFileWhateverStoppedIt) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {3000}).cuePath;
    for (const int stop : {SIGINT, SIGTERM, SIGHUP}) {
        const pid_t pid = start("--image " + cue + " --format wav --out " + home.file("out") +
                                    " --template '<Artist> \\ <Title>'",
                                home.path(), "LUMBRA_VIRTUAL_FAULTS=delay=10");
        ASSERT_TRUE(waitForOutput("TRACK 1 ")) << stop;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(pid, stop);
        EXPECT_EQ(exitCodeOf(pid), 1) << stop;
        EXPECT_EQ(filesIn(home.file("out")), "") << stop;
    }
}

// A killed program runs no clean-up of its own: what it was writing must not look finished, and
// the next rip into the folder removes it.
TEST_F(LumbraRip, AKilledRipLeavesNoFinishedLookingFileAndTheNextRipTidiesUp) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {3000, 30}).cuePath;
    const std::string disc = "--image " + cue + " --template '<Title>' --out " + home.file("out");
    // WAV, Ogg through the temporary file, and MP3 on two encoder threads.
    const struct {
        bool antiCrackle;
        const char* arguments;
    } cases[] = {{false, " --tracks 1 --format wav"},
                 {true, " --tracks 1 --format ogg"},
                 {false, " --tracks 1,2 --format mp3 --jobs 2"}};
    for (const auto& [antiCrackle, ripArguments] : cases) {
        home.write("setup.ini", std::string("[CDDB]\nCDDB_AUTO=0\n[GENERAL]\nANTI_CRACKLE=") +
                                    (antiCrackle ? "1" : "0") + "\n");
        const pid_t pid = start(disc + ripArguments, home.path(), "LUMBRA_VIRTUAL_FAULTS=delay=10");
        ASSERT_TRUE(waitForOutput("TRACK 1 ")) << ripArguments;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        kill(pid, SIGKILL);
        EXPECT_EQ(exitCodeOf(pid), -1);
        const std::string left = filesIn(home.file("out"));
        EXPECT_EQ(left.find("音轨 01"), std::string::npos) << left;
        EXPECT_NE(left, "") << "the killed program's partial file";

        EXPECT_EQ(rip(disc + " --tracks 2 --format wav").exitCode, 0);
        EXPECT_EQ(filesIn(home.file("out")), "音轨 02.wav\n") << ripArguments;
        fs::remove_all(home.file("out"));
    }
}

// Each program has drives of its own (its own namespace), so both rip at the same time, one the
// long first track and one the short second track.
TEST_F(LumbraRip, TwoRipsIntoOneFolderKeepTheirTemporaryFilesApart) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {450, 150}).cuePath;
    home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n[GENERAL]\nANTI_CRACKLE=1\n");
    // Without ReplayGain: the album gain of a rip of one track is not that of both.
    const std::string disc =
        "--image " + cue + " --format mp3 --no-replaygain --template '<Title>' --out ";
    const std::string spaces[] = {"a" + std::to_string(getpid()), "b" + std::to_string(getpid())};
    pid_t programs[2];
    for (int i = 0; i < 2; ++i) {
        programs[i] = start(
            disc + home.file("out") + " --tracks " + std::to_string(i + 1), home.path(),
            "LUMBRA_VIRTUAL_FAULTS=delay=20 LUMBRA_IPC_NAMESPACE=" + spaces[i], spaces[i] + ".txt");
    }
    for (const pid_t pid : programs) EXPECT_EQ(exitCodeOf(pid), 0);
    for (const std::string& space : spaces) {
        setenv("LUMBRA_IPC_NAMESPACE", space.c_str(), 1);
        removeSharedObjects();
    }
    EXPECT_EQ(filesIn(home.file("out")), "音轨 01.mp3\n音轨 02.mp3\n");
    EXPECT_EQ(exitCodeOf(start(disc + home.file("alone"), home.path(), "")), 0);
    for (const char* file : {"/音轨 01.mp3", "/音轨 02.mp3"}) {
        const std::string ripped = home.read("out" + std::string(file));
        EXPECT_TRUE(ripped == home.read("alone" + std::string(file)))
            << file << " is not as when ripped alone, " << ripped.size() << " bytes";
    }
}

// Root may write any file, so these run lumbra-rip as "nobody" when the tests run as root.
class LumbraRipAsUser : public LumbraRip {
protected:
    static constexpr uid_t kNobody = 65534;

    void SetUp() override {
        LumbraRip::SetUp();
        if (geteuid() != 0) return;
        if (access("/usr/bin/setpriv", X_OK) != 0)
            GTEST_SKIP() << "root, and no setpriv to drop it";
        runAs = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
        giveToUser(home.path());
    }

    // Makes `path` and everything below it the user's.
    void giveToUser(const std::string& path) const {
        if (runAs.empty()) return;
        ::chown(path.c_str(), kNobody, kNobody);
        if (!fs::is_directory(path)) return;
        for (const auto& entry : fs::recursive_directory_iterator(path)) {
            ::lchown(entry.path().c_str(), kNobody, kNobody);
        }
    }
};

// A file the user made read-only, in a folder the user may write, is neither replaced nor deleted.
TEST_F(LumbraRipAsUser, KeepsAFileItCannotWriteAndAnUnreadableOneWhenToldNo) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {30}).cuePath;
    const std::string target = home.file("out/音轨 01");
    struct Case {
        const char* format;
        bool antiCrackle;
        const char* answer;
        mode_t mode;
    };
    const Case cases[] = {
        {"wav", false, "--yes", 0444}, {"ogg", false, "--yes", 0444}, {"ogg", true, "--yes", 0444},
        {"mp3", false, "--yes", 0444}, {"mp3", true, "--yes", 0444},  {"wma", false, "--yes", 0444},
        {"wma", true, "--yes", 0444},  {"wav", false, "--no", 0200},  {"ogg", true, "--no", 0200},
    };
    for (const Case& c : cases) {
        const std::string why =
            std::string(c.format) + (c.antiCrackle ? " through the PCM file " : " ") + c.answer;
        home.write("setup.ini", std::string("[CDDB]\nCDDB_AUTO=0\n[GENERAL]\nANTI_CRACKLE=") +
                                    (c.antiCrackle ? "1" : "0") + "\n");
        fs::create_directories(home.file("out"));
        const std::string file = target + "." + c.format;
        home.write("out/音轨 01." + std::string(c.format), "old");
        giveToUser(home.path());
        ::chmod(file.c_str(), c.mode);
        const ProgramRun run = rip("--image " + cue + " --template '<Title>' --out " +
                                   home.file("out") + " --format " + c.format + " " + c.answer);
        EXPECT_EQ(run.exitCode, 1) << why;
        ::chmod(file.c_str(), 0644);
        EXPECT_EQ(platform::readWholeFile(file).value_or("<deleted>"), "old") << why;
        EXPECT_EQ(filesIn(home.file("out")), "音轨 01." + std::string(c.format) + "\n") << why;
        fs::remove(file);
    }
}

}  // namespace
}  // namespace lumbra
