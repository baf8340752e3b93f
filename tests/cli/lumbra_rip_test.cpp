// lumbra-rip run as a user runs it, against virtual drives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "app/disc_refresh.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/disc_toc.h"
#include "cli/lumbra_rip_runner.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/web_test_server.h"

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
    const std::regex firstTrack(R"(TRACK 1 0 \d+ 00:[1-4]\d Morning Tide)");
    EXPECT_TRUE(std::regex_match(run.line("TRACK "), firstTrack)) << run.out;

    home.write("broken.cue", "FILE \"absent.bin\" BINARY\n TRACK 01 AUDIO\n INDEX 01 00:00:00\n");
    EXPECT_EQ(rip("--image " + home.file("broken.cue") + " --list").exitCode, 1);
    for (const char* usage :
         {"--list --drive x", "--demo --format aiff", "--demo --tracks 3-1",
          "--demo --drive 3 --list", "--demo --jobs -1", "--demo --jobs 100", "--demo --jobs",
          "--demo --read-offset 3001", "--demo --read-offset --5", "--demo --read-offset x"}) {
        EXPECT_EQ(rip(usage).exitCode, 2) << usage;
    }
}

TEST_F(LumbraRip, AnswersHelpVersionAndUsageMistakesOnTheRightStream) {
    std::string nineImages;
    for (int i = 0; i < 9; ++i) nineImages += " --image disc" + std::to_string(i) + ".cue";
    const struct {
        std::string arguments;
        int exitCode;
        std::string outStart;
        std::string errStart;
    } cases[] = {
        {"--help", 0, "lumbra-rip (Lumbra CD Ripper) " LUMBRA_VERSION "\nusage: lumbra-rip ", ""},
        {"--list --version", 0, "lumbra-rip (Lumbra CD Ripper) " LUMBRA_VERSION "\n", ""},
        {"--bogus --list", 2, "",
         "lumbra-rip: unknown option --bogus\nlumbra-rip (Lumbra CD Ripper) " LUMBRA_VERSION
         "\nusage: lumbra-rip "},
        {"--drive", 2, "", "lumbra-rip: option --drive needs a value\nlumbra-rip "},
        {"--list" + nineImages, 2, "",
         "lumbra-rip: 9 discs given, but there are at most 8 drives\n"},
        {"--demo --list" + nineImages.substr(0, nineImages.rfind(" --image")), 2, "",
         "lumbra-rip: 9 discs given"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = rip(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_TRUE(run.out.starts_with(c.outStart)) << c.arguments << ": " << run.out;
        EXPECT_TRUE(run.err.starts_with(c.errStart)) << c.arguments << ": " << run.err;
        EXPECT_TRUE(!c.outStart.empty() || run.out.empty()) << c.arguments << ": " << run.out;
        EXPECT_TRUE(!c.errStart.empty() || run.err.empty()) << c.arguments << ": " << run.err;
    }
    EXPECT_NE(rip("--help").out.find("[--format wav|ogg|mp3|wma|flac|opus]"), std::string::npos);
    const ProgramRun settings = rip("--settings");
    EXPECT_TRUE(settings.out.ends_with("proxy: off\n")) << "every line ends with a newline";
    EXPECT_EQ(settings.line("encoder threads"), "encoder threads: automatic");
    EXPECT_EQ(settings.line("test and copy"), "test and copy: off");
    EXPECT_EQ(settings.line("flac"), "flac: level 5 (默认), verify on");
    EXPECT_EQ(settings.line("opus"), "opus: 160 kbps, VBR");
}

// Every format of the format table is a --format name: its extension.
TEST_F(LumbraRip, RipsToTheLosslessAndOpusFormatsByTheirExtensions) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {100}).cuePath;
    home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n");
    for (const std::string format : {"flac", "opus"}) {
        const ProgramRun run = rip("--image " + cue + " --format " + format +
                                   " --template '<Title>' --yes --out " + home.file("out"));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_GT(home.read("out/音轨 01." + format).size(), 1000u) << format;
    }
}

// The number of encoder threads changes how long an album takes, never its files.
TEST_F(LumbraRip, EncoderThreadsComeFromSetupIniOrJobsAndLeaveTheFilesAsTheyWere) {
    const std::string cue = test::writeCueImage(home.path(), "disc", {300, 200, 250}).cuePath;
    home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n[GENERAL]\nENCODER_THREADS=3\n");
    EXPECT_EQ(rip("--settings").line("encoder threads"), "encoder threads: 3");
    for (const std::string jobs : {"1", "3"}) {
        const ProgramRun run = rip("--image " + cue + " --format mp3 --template '<Title>' --yes" +
                                   " --jobs " + jobs + " --out " + home.file("out" + jobs));
        EXPECT_EQ(run.exitCode, 0) << run.err;
    }
    for (const std::string name : {"音轨 01.mp3", "音轨 02.mp3", "音轨 03.mp3"}) {
        const std::string one = home.read("out1/" + name);
        EXPECT_TRUE(one.size() > 1000 && one == home.read("out3/" + name)) << name;
    }
}

// Sheet names the disc list would otherwise split at ";", trim or take for the demo disc.
TEST_F(LumbraRip, AnImagePathIsTakenExactlyAsGiven) {
    for (const std::string name : {"demo", "two;drives.cue", " blank .cue", "100%.cue"}) {
        const auto image = test::writeCueImage(home.path(), "disc", {300, 200});
        std::filesystem::rename(image.cuePath, home.file(name));
        const ProgramRun run = rip("--list --image '" + name + "'", home.path());
        EXPECT_EQ(run.exitCode, 0) << name << ": " << run.err;
        EXPECT_EQ(run.line("DRIVE 1"), "<none>") << name;
        EXPECT_TRUE(run.line("DRIVE 0").ends_with(" " + name)) << run.line("DRIVE 0");
        EXPECT_EQ(run.line("TRACK 2 "), "TRACK 2 300 200 00:02 音轨 02") << name;
    }
}

// Programs with virtual drives hold different discs even at the same address; a drive another
// program holds is reported as in use, not as empty.
TEST_F(LumbraRip, AnotherProgramsDriveIsInUseAndOnlyItsOwn) {
    const std::string held = test::writeCueImage(home.path(), "held", {300, 200}).cuePath;
    const std::string other = test::writeCueImage(home.path(), "other", {250}).cuePath;
    startVirtualDrives(held);
    const OpenDriveRequest request{
        kOpenDriveRequestSize, kOpenDriveRequestVersion, 0, 0, 0, 0, 0, 0, 0};
    const int handle = getCDHandle(&request);
    ASSERT_GE(handle, 1);
    const ProgramRun otherDisc = rip("--image " + other + " --list");
    EXPECT_EQ(otherDisc.exitCode, 0) << otherDisc.err;
    EXPECT_EQ(otherDisc.line("TRACK 1 "), "TRACK 1 0 250 00:03 音轨 01");
    const ProgramRun sameDisc = rip("--image " + held + " --list");
    EXPECT_EQ(sameDisc.exitCode, 1);
    EXPECT_NE(sameDisc.err.find(kDriveBusyMessage), std::string::npos) << sameDisc.err;
    EXPECT_EQ(sameDisc.err.find(kNoDiscMessage), std::string::npos) << sameDisc.err;
    TocBuffer toc{};
    EXPECT_EQ(readDiscToc(handle, toc), kResultDone) << "the other programs left the handle alone";
    EXPECT_EQ(releaseCDHandle(handle), 1);
    EXPECT_EQ(rip("--image " + held + " --list").exitCode, 0);
}

TEST_F(LumbraRip, TwoProgramsRipTwoImagesAtOnce) {
    const auto first = test::writeCueImage(home.path(), "first", {200, 100});
    const auto second = test::writeCueImage(home.path(), "second", {150, 150});
    // Slow reads, so that the two rips overlap.
    const std::string command =
        "export LUMBRA_VIRTUAL_FAULTS=delay=20; for disc in first second; do "
        "(" LUMBRA_RIP_PROGRAM " --home " +
        home.path() + " --image " + home.path() +
        "/$disc.cue --format wav --template '<Title>' --yes --out " + home.path() +
        "/$disc.out >/dev/null 2>&1; echo $? >" + home.path() + "/$disc.code) & done; wait";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto* image : {&first, &second}) {
        const std::string name = image == &first ? "first" : "second";
        EXPECT_EQ(home.read(name + ".code"), "0\n") << name;
        for (size_t t = 0; t < image->trackAudio.size(); ++t) {
            const std::string wav =
                home.read(name + ".out/音轨 0" + std::to_string(t + 1) + ".wav");
            EXPECT_EQ(wav.substr(std::min<size_t>(44, wav.size())),
                      std::string(image->trackAudio[t].begin(), image->trackAudio[t].end()))
                << name << " track " << t + 1;
        }
    }
}

// One disc, three tracks with silent pregaps before tracks 2 and 3, in the layouts rippers write
// CUE sheets in. Times count frames of each file.
struct GapLayout {
    const char* name;
    std::vector<std::pair<std::string, std::vector<int>>> files;  // name, pieces of the disc
    std::string sheet;
};

constexpr int kGap2 = 75, kGap3 = 50;  // pregap frames

std::vector<GapLayout> gapLayouts() {
    // Pieces: 0 track 1, 1 pregap 2, 2 track 2, 3 pregap 3, 4 track 3.
    return {
        {"one file",
         {{"one.bin", {0, 1, 2, 3, 4}}},
         "FILE \"one.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
         " TRACK 02 AUDIO\n  INDEX 00 00:04:00\n  INDEX 01 00:05:00\n"
         " TRACK 03 AUDIO\n  INDEX 00 00:07:50\n  INDEX 01 00:08:25\n"},
        {"gaps appended",
         {{"a1.bin", {0, 1}}, {"a2.bin", {2, 3}}, {"a3.bin", {4}}},
         "FILE \"a1.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
         " TRACK 02 AUDIO\n  INDEX 00 00:04:00\n"
         "FILE \"a2.bin\" BINARY\n  INDEX 01 00:00:00\n TRACK 03 AUDIO\n  INDEX 00 00:02:50\n"
         "FILE \"a3.bin\" BINARY\n  INDEX 01 00:00:00\n"},
        {"gaps prepended",
         {{"p1.bin", {0}}, {"p2.bin", {1, 2}}, {"p3.bin", {3, 4}}},
         "FILE \"p1.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
         "FILE \"p2.bin\" BINARY\n TRACK 02 AUDIO\n  INDEX 00 00:00:00\n  INDEX 01 00:01:00\n"
         "FILE \"p3.bin\" BINARY\n TRACK 03 AUDIO\n  INDEX 00 00:00:00\n  INDEX 01 00:00:50\n"},
        {"gaps left out",
         {{"l1.bin", {0}}, {"l2.bin", {2}}, {"l3.bin", {4}}},
         "FILE \"l1.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
         "FILE \"l2.bin\" BINARY\n TRACK 02 AUDIO\n  PREGAP 00:01:00\n  INDEX 01 00:00:00\n"
         "FILE \"l3.bin\" BINARY\n TRACK 03 AUDIO\n  PREGAP 00:00:50\n  INDEX 01 00:00:00\n"},
    };
}

TEST_F(LumbraRip, EveryGapLayoutOfADiscGivesItsTableOfContentsAndItsAudio) {
    const std::vector<std::string> pieces = {
        test::musicLikeBytes(300, 1), std::string(size_t(kGap2) * 2352, '\0'),
        test::musicLikeBytes(200, 2), std::string(size_t(kGap3) * 2352, '\0'),
        test::musicLikeBytes(250, 3)};
    const std::string ripped[] = {pieces[0] + pieces[1], pieces[2] + pieces[3], pieces[4]};
    const std::string toc =
        "TRACK 1 0 375 00:05 音轨 01\nTRACK 2 375 250 00:03 音轨 02\n"
        "TRACK 3 625 250 00:03 音轨 03\n";
    for (const GapLayout& layout : gapLayouts()) {
        for (const auto& [file, parts] : layout.files) {
            std::string bytes;
            for (int part : parts) bytes += pieces[size_t(part)];
            home.write(file, bytes);
        }
        const std::string sheet = home.write("disc.cue", layout.sheet);
        const ProgramRun listed = rip("--image " + sheet + " --list");
        EXPECT_EQ(listed.exitCode, 0) << layout.name << ": " << listed.err;
        EXPECT_EQ(listed.out.substr(std::min(listed.out.find("TRACK 1 "), listed.out.size())), toc)
            << layout.name;

        const std::string out = home.file(std::string("out ") + layout.name);
        const ProgramRun run = rip("--image " + sheet +
                                   " --format wav --template '<Title>' --yes --out '" + out + "'");
        EXPECT_EQ(run.exitCode, 0) << layout.name << ": " << run.err;
        for (int t = 0; t < 3; ++t) {
            const auto wav =
                platform::readWholeFile(out + "/音轨 0" + std::to_string(t + 1) + ".wav")
                    .value_or("");
            EXPECT_TRUE(wav.size() > 44 && wav.substr(44) == ripped[t])
                << layout.name << ", track " << t + 1;
        }
    }
}

TEST_F(LumbraRip, ASheetOfMoreThan99TracksIsRefusedByName) {
    std::string sheet = "FILE \"many.bin\" BINARY\n";
    for (int t = 1; t <= 120; ++t) {
        char line[64];
        std::snprintf(line, sizeof line, " TRACK %02d AUDIO\n  INDEX 01 %02d:%02d:00\n", t,
                      (t - 1) / 60, (t - 1) % 60);
        sheet += line;
    }
    home.write("many.bin", std::string(size_t(121 * 75) * 2352, '\0'));
    const ProgramRun run = rip("--image " + home.write("many.cue", sheet) + " --list");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.line("TRACK "), "<none>");
    EXPECT_NE(run.err.find("many.cue: it has more than 99 tracks"), std::string::npos) << run.err;
}

class LumbraRipLookup : public LumbraRip {
protected:
    LumbraRipLookup() {
        server.addEntry(
            {"rock", "0200b201", "乐队", "专辑",
             "DTITLE=乐队 / 专辑\r\nDYEAR=2003\r\nTTITLE0=第一首\r\nTTITLE1=Second\r\n"});
    }

    void configure(bool automaticLookup) {
        useCddbServer(server.port(),
                      localDatabaseLines() + "CDDB_AUTO=" + (automaticLookup ? "1\n" : "0\n"));
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

TEST_F(LumbraRipLookup, NoMusicBrainzAsksTheCddbServerStraightAwayForOneRun) {
    test::WebTestServer web;
    web.route("/ws/2/discid/",
              test::webReply(200, R"({"releases":[{"title":"MB","artist-credit":[{"name":"A"}],)"
                                  R"("media":[{"tracks":[{"title":"mb1"},{"title":"mb2"}]}]}]})"));
    useCddbServer(server.port(), "CDDB_USE_LOCALCDDB=0\n",
                  "MB_ENABLE=1\nMB_SERVER=127.0.0.1\nMB_PORT=" + std::to_string(web.port()) +
                      "\nMB_TLS=0\nCAA_ENABLE=0\n");
    EXPECT_EQ(run("--list --lookup --no-musicbrainz").line("TRACK 1 "),
              "TRACK 1 0 300 00:04 第一首");
    EXPECT_TRUE(web.requests().empty());
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_EQ(run("--list --lookup").line("TRACK 1 "), "TRACK 1 0 300 00:04 mb1")
        << "setup.ini was left as it was";
    EXPECT_EQ(web.requests().size(), 1u);
    EXPECT_EQ(server.requests().size(), 2u);
    EXPECT_NE(rip("--help").out.find("\n  --no-musicbrainz "), std::string::npos);
}

}  // namespace
}  // namespace lumbra
