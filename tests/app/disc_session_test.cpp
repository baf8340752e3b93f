// The rules of a session, driven as a front end drives them: commands on this thread, the
// workers' posts taken from a queue, virtual drives and a CDDB server on loopback.
#include "app/disc_session.h"

#include <gtest/gtest.h>
#include <taglib/fileref.h>
#include <taglib/tpropertymap.h>

#include <unistd.h>

#include <fstream>
#include <functional>
#include <thread>

#include "app/event_queue.h"
#include "rip/track_status.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/cue_text.h"
#include "support/isolated_cd_access.h"
#include "support/recording_prompts.h"
#include "support/segment_image.h"
#include "support/temp_dir.h"
#include "support/web_test_server.h"

namespace lumbra {
namespace {

// Controls whose content each test sets; every commit reads them.
class ScriptedPages : public EditablePages {
public:
    PageEdits edits;
    int reads = 0;
    PageEdits readPages() override {
        ++reads;
        return edits;
    }
};

// What the session told its view, in order.
class RecordingView : public SessionView {
public:
    std::vector<std::string> told;
    void tracksReset() override { told.push_back("tracks"); }
    void rowChanged(int row) override { told.push_back("row " + std::to_string(row)); }
    void statusChanged() override { told.push_back("status"); }
    void discChanged() override { told.push_back("disc"); }
};

class DiscSessionTest : public test::IsolatedCdAccess {
protected:
    DiscSessionTest() {
        settings.outputFolder = dir.file("out");
        settings.namingTemplate = "<Artist> \\ <Album> \\ <Title>";
        settings.overwrite = true;
        settings.defaultFormat = kFormatWav;
        settings.encoder.wav = {1, 1, 1};
        askServer(server.port());
        server.addEntry(
            {"rock", "0200b201", "乐队", "专辑",
             "DTITLE=乐队 / 专辑\r\nDYEAR=2003\r\nTTITLE0=第一首\r\nTTITLE1=Second\r\n"});
        pages.edits.outputFolder = settings.outputFolder;
    }

    // Drive 0 holds a two-track disc that the server knows.
    void start(const std::string& moreDiscs = "", const std::string& faults = "") {
        startVirtualDrives(cue + moreDiscs, faults);
        ASSERT_GE(session.buildDriveList(), 1);
        ASSERT_EQ(session.refresh(true), true);
        pages.edits.rows.assign(session.tracks().size(), RowState{true, false});
    }

    // The oldest post of `message`; the others stay queued. Fails the test after 20 s.
    PostedMessage waitFor(int message) {
        for (int i = 0; i < 200; ++i) {
            for (auto it = later.begin(); it != later.end(); ++it) {
                if (it->message != message) continue;
                const PostedMessage found = *it;
                later.erase(it);
                return found;
            }
            if (const auto posted = events.next(std::chrono::milliseconds(100)))
                later.push_back(*posted);
        }
        ADD_FAILURE() << "no message " << message;
        return {};
    }

    // A whole lookup: how its end was handled.
    LookupEnd lookUp() {
        EXPECT_EQ(session.requestLookup(true), LookupStart::Started);
        return session.finishLookup(waitFor(WM_LOOKUP_DONE).wParam);
    }
    // A whole rip of the ticked rows: what its end told.
    std::optional<FinishedRip> ripToTheEnd() {
        EXPECT_EQ(session.convert(), ConvertResult::Started);
        waitFor(WM_RIP_DONE);
        return session.finishRip();
    }
    void askServer(int port) {
        settings.cddb.currentServer = {"127.0.0.1", port, "/~cddb/cddb.cgi"};
    }

    bool exists(const std::string& path) const { return access(path.c_str(), F_OK) == 0; }

    test::TempDir dir;
    test::CddbTestServer server;
    const std::string cue = test::writeCueImage(dir.path(), "disc", {300, 200}).cuePath;
    SettingsRecord settings;
    test::RecordingPrompts prompts;
    EventQueue events;
    std::vector<PostedMessage> later;
    ScriptedPages pages;
    DiscSession session{settings, prompts, events, &pages,
                        CddbTimeouts{std::chrono::seconds(2), std::chrono::seconds(2),
                                     std::chrono::seconds(2), std::chrono::seconds(2)}};
};

TEST_F(DiscSessionTest, ARefreshListsTheDiscOrLeavesAnEmptyListAndNoAutomaticLookup) {
    start(";/nonexistent/missing.cue");
    EXPECT_EQ(session.tracks().size(), 2u);
    EXPECT_EQ(session.tracks()[0].selected, 1);
    EXPECT_EQ(session.currentTrackIndex(), 0);
    EXPECT_EQ(session.statusText(), "就绪");

    settings.driveIndex = 1;
    EXPECT_EQ(session.refresh(false), false);
    EXPECT_TRUE(session.tracks().empty());
    EXPECT_EQ(session.statusText(), "没有找到音频 CD");
    EXPECT_TRUE(prompts.shown.empty()) << "no message without messages wanted";
    EXPECT_EQ(session.requestLookup(false), LookupStart::NotStarted);
    EXPECT_EQ(session.statusText(), "就绪");

    settings.cddbAuto = true;
    pages.edits.driveIndex = 1;
    EXPECT_EQ(session.refreshCommand(), CommandResult::Done);
    EXPECT_EQ(session.statusText(), "没有找到音频 CD")
        << "the refresh button's own lookup says nothing";
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(DiscSessionTest, ARowIsADataTrackWhenTheChosenDrivesDiscSaysSo) {
    start(";" + test::writeSegmentImage(dir.path(), "mixed", {{{{300}}, true}, {{{300}}}}).cuePath);
    EXPECT_FALSE(session.isDataTrack(0));
    settings.driveIndex = 1;
    ASSERT_EQ(session.refresh(false), true);
    EXPECT_TRUE(session.isDataTrack(0));
    EXPECT_FALSE(session.isDataTrack(1));
    EXPECT_FALSE(session.isDataTrack(2)) << "no such row";
    EXPECT_FALSE(session.isDataTrack(-1));
}

// An Enhanced CD: two audio tracks, then the data track that a player cannot play.
TEST_F(DiscSessionTest, TheDataTrackOfAnEnhancedCdIsNeverTickedNorCountedInTags) {
    const std::vector<test::ImageTrack> enhanced{{{{300}}}, {{{200}}}, {{{300}}, true, true}};
    settings.defaultFormat = kFormatFlac;
    start(";" + test::writeSegmentImage(dir.path(), "enhanced", enhanced).cuePath);
    settings.driveIndex = pages.edits.driveIndex = 1;
    ASSERT_EQ(session.refresh(false), true);
    ASSERT_EQ(session.tracks().size(), 3u);
    for (const CheckCommand command : {CheckCommand::CheckAll, CheckCommand::Invert}) {
        pages.edits.rows = {{false, true}, {false, true}, {false, true}};
        ASSERT_EQ(session.applyCheckCommand(command), CommandResult::Done);
        EXPECT_EQ(session.tracks()[1].checked, 1) << int(command);
        EXPECT_EQ(session.tracks()[2].checked, 0) << int(command) << ": the data track";
    }
    pages.edits.rows = {{true, true}, {false, false}, {false, false}};
    ripToTheEnd();
    const std::string file = dir.file("out/未知艺人/未知标题/音轨 01.flac");
    const TagLib::PropertyMap tags = TagLib::FileRef(file.c_str()).file()->properties();
    EXPECT_EQ(tags["TRACKNUMBER"].toString().to8Bit(true), "1");
    EXPECT_EQ(tags["TRACKTOTAL"].toString().to8Bit(true), "2") << "audio tracks only";
}

TEST_F(DiscSessionTest, ACommitTakesThePagesAndTheFirstSelectedRow) {
    start();
    struct Case {
        std::vector<RowState> rows;
        int32_t current;
    };
    const Case cases[] = {
        {{{false, true}, {true, true}}, 0},
        {{{true, false}, {false, true}}, 1},
        {{{false, false}, {false, false}}, 0},
        {{}, 0},  // fewer rows than tracks: the entries keep theirs
    };
    for (const Case& c : cases) {
        pages.edits.rows = c.rows;
        session.commitEdits(false);
        EXPECT_EQ(session.currentTrackIndex(), c.current);
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(session.tracks()[i].checked, c.rows[i].checked);
            EXPECT_EQ(session.tracks()[i].selected, c.rows[i].selected);
        }
    }

    pages.edits.disc = {"Artist", "Album", "1999", 17, "comment"};
    pages.edits.outputFolder = "/elsewhere";
    pages.edits.id3Enable = true;
    session.commitEdits(true);
    EXPECT_EQ(session.disc().artist, "未知艺人");
    EXPECT_EQ(session.disc().album, "未知标题");
    EXPECT_EQ(session.disc().genre, 4);
    EXPECT_EQ(session.disc().year, "1999") << "year and comment stay";
    EXPECT_EQ(session.disc().comment, "comment");
    EXPECT_EQ(settings.outputFolder, "/elsewhere");
    EXPECT_TRUE(settings.id3Enable);
}

TEST_F(DiscSessionTest, ALookupAppliesItsTextAfterCommittingTheEdits) {
    start();
    pages.edits.disc.comment = "typed meanwhile";
    ASSERT_EQ(session.requestLookup(true), LookupStart::Started);
    EXPECT_EQ(session.statusText(), "连接到 CDDB...");
    EXPECT_EQ(session.requestLookup(true), LookupStart::NotStarted) << "one at a time";
    const PostedMessage done = waitFor(WM_LOOKUP_DONE);
    const int readsBefore = pages.reads;
    EXPECT_EQ(session.finishLookup(done.wParam), LookupEnd::Applied);
    EXPECT_EQ(pages.reads, readsBefore + 1);
    EXPECT_EQ(session.disc().artist, "乐队");
    EXPECT_EQ(session.disc().comment, "typed meanwhile");
    EXPECT_EQ(session.tracks()[0].title, "第一首");
    EXPECT_EQ(session.statusText(), "就绪");
    EXPECT_FALSE(session.lookupActive());
}

// A lookup that reached no server, or whose reply was refused, said nothing: the status line went
// back to "ready" as if the server knew no such disc.
TEST_F(DiscSessionTest, AFailedLookupSaysWhyInTheStatusLine) {
    start();
    server.setStatusLine("HTTP/1.0 503 Service Unavailable");
    EXPECT_EQ(lookUp(), LookupEnd::NothingFound);
    EXPECT_EQ(session.statusText(), "CDDB 查询失败：HTTP/1.0 503 Service Unavailable");

    const int closedPort = test::CddbTestServer().port();  // closed when the server went
    askServer(closedPort);
    EXPECT_EQ(lookUp(), LookupEnd::NothingFound);
    EXPECT_EQ(session.statusText(),
              "CDDB 查询失败：无法连接到 127.0.0.1:" + std::to_string(closedPort));

    const test::CddbTestServer knowsNothing;
    askServer(knowsNothing.port());
    EXPECT_EQ(lookUp(), LookupEnd::NothingFound);
    EXPECT_EQ(session.statusText(), "就绪") << "a server that answered, knowing no such disc";
}

// Without a match the disc's own CD-Text names the disc and its files; a match replaces it.
TEST_F(DiscSessionTest, TheDiscsCdTextNamesItUntilALookupFindsAMatch) {
    test::addCueText(cue, {"TITLE \"Night Shift\"", "PERFORMER \"Harbour Lights\""},
                     {{"TITLE \"Opening\""}, {"TITLE \"Second Song\""}});
    const std::string unknown = test::writeCueImage(dir.path(), "unknown", {250, 250}).cuePath;
    test::addCueText(unknown,
                     {"TITLE \"Night Shift\"", "PERFORMER \"AC/DC\"", "CATALOG 0724384960650"},
                     {{"TITLE \"Opening\"", "ISRC GBAYE9900001"},
                      {"TITLE \"Second Song\"", "PERFORMER \"Guest\""}});
    start(";" + unknown);
    EXPECT_EQ(session.disc().titleSource, TitleSource::CdText);
    EXPECT_EQ(session.tracks()[1].title, "Second Song");
    pages.edits.disc = session.disc();  // what the pages show after the refresh
    EXPECT_EQ(lookUp(), LookupEnd::Applied);
    EXPECT_EQ(session.disc().artist, "乐队");
    EXPECT_EQ(session.tracks()[0].title, "第一首");
    EXPECT_EQ(session.disc().titleSource, TitleSource::Lookup);

    const test::CddbTestServer knowsNothing;
    askServer(knowsNothing.port());
    pages.edits.driveIndex = 1;
    EXPECT_EQ(session.refreshCommand(), CommandResult::Done);
    pages.edits.disc = session.disc();
    EXPECT_EQ(lookUp(), LookupEnd::NothingFound);
    const DiscRecord& disc = session.disc();
    EXPECT_EQ(disc.artist, "AC／DC") << "a slash in the name would cut it at the text's separator";
    EXPECT_EQ(disc.album, "Night Shift");
    EXPECT_EQ(disc.catalogue, "0724384960650") << "kept through the commits";
    EXPECT_EQ(disc.titleSource, TitleSource::CdText);
    EXPECT_EQ(session.tracks()[0].isrc, "GBAYE9900001");
    EXPECT_EQ(session.tracks()[1].artist + "|" + session.tracks()[1].title, "Guest|Second Song");

    pages.edits.disc.artist = "Harbour Lights";
    pages.edits.rows.assign(2, RowState{true, false});
    ripToTheEnd();
    EXPECT_TRUE(exists(dir.file("out/Harbour Lights/Night Shift/Opening.wav")));
    EXPECT_TRUE(exists(dir.file("out/Harbour Lights/Night Shift/Guest _ Second Song.wav")));
}

// MusicBrainz answers before the CDDB server; its release's cover stays with the disc through
// the commits until the rip puts it beside the tracks.
TEST_F(DiscSessionTest, AMusicBrainzReleaseNamesTheDiscAndItsCoverReachesTheRip) {
    test::WebTestServer web;
    web.route("/ws/2/discid/",
              test::webReply(200, R"({"releases":[{"id":"aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee",)"
                                  R"("title":"Brainz","artist-credit":[{"name":"MB"}],"media":)"
                                  R"([{"tracks":[{"title":"m1"},{"title":"m2"}]}]}]})"));
    const std::string jpeg = "\xFF\xD8\xFF not decoded here";
    web.route("/release/aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee/front-500", test::webReply(200, jpeg));
    settings.musicBrainz = {true, "127.0.0.1", web.port(), false,
                            true, "127.0.0.1", web.port(), false};
    start();
    EXPECT_EQ(lookUp(), LookupEnd::Applied);
    EXPECT_EQ(session.disc().artist, "MB");
    EXPECT_EQ(session.tracks()[1].title, "m2");
    EXPECT_TRUE(server.requests().empty()) << "the CDDB server was not asked";

    pages.edits.disc.artist = "MB";
    pages.edits.disc.album = "Brainz";
    ripToTheEnd();
    std::ifstream cover(dir.file("out/MB/Brainz/cover.jpg"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(cover), {}), jpeg);
}

TEST_F(DiscSessionTest, TheEndOfAStoppedLookupIsIgnored) {
    start();
    struct Case {
        const char* stoppedBy;
        std::function<void()> stop;
    };
    const Case cases[] = {
        {"refresh", [this] { ASSERT_EQ(session.refresh(true), true); }},
        {"convert",
         [this] {
             ASSERT_EQ(session.convert(), ConvertResult::Started);
             EXPECT_EQ(session.statusText(), "正在抓取..");
         }},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(session.requestLookup(true), LookupStart::Started) << c.stoppedBy;
        c.stop();
        EXPECT_FALSE(session.lookupActive()) << c.stoppedBy;
        const PostedMessage done = waitFor(WM_LOOKUP_DONE);
        EXPECT_EQ(session.finishLookup(done.wParam), LookupEnd::Ignored) << c.stoppedBy;
        EXPECT_EQ(session.disc().artist, "未知艺人") << c.stoppedBy;
        EXPECT_EQ(session.tracks()[0].title, "音轨 01") << c.stoppedBy;
    }
    waitFor(WM_RIP_DONE);
    session.finishRip();
}

TEST_F(DiscSessionTest, AStoppedRipRefusesCommandsUntilItsEndIsHandled) {
    start("", "delay=40");  // each read takes a while, so the stop comes in the first track
    settings.ejectAfterRip = true;
    ASSERT_EQ(session.convert(), ConvertResult::Started);
    waitFor(WM_RIP_PROGRESS);
    session.stopRip();
    EXPECT_TRUE(session.ripping());
    EXPECT_EQ(session.refresh(true), std::nullopt);
    EXPECT_EQ(session.refreshCommand(), CommandResult::Refused);
    EXPECT_EQ(session.chooseDrive(0), CommandResult::Refused);
    EXPECT_EQ(session.convert(), ConvertResult::Refused);
    EXPECT_EQ(session.requestLookup(true), LookupStart::Refused);
    EXPECT_EQ(session.setFormatOfSelected(kFormatMp3), CommandResult::Refused);
    EXPECT_EQ(session.applyCheckCommand(CheckCommand::UncheckAll), CommandResult::Refused);
    EXPECT_EQ(session.openSelectMenu(), CommandResult::Refused);
    EXPECT_EQ(session.selectAllRows(), CommandResult::Refused);
    EXPECT_EQ(session.exitCommand(), CommandResult::Refused) << "stopped, but not yet ended";
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "请在退出前先停止编码！");

    waitFor(WM_RIP_DONE);
    session.finishRip();
    EXPECT_FALSE(session.ripping());
    EXPECT_EQ(session.statusText(), "已停止：0 个音轨已写入 " + dir.file("out") + "，2 个未完成");
    EXPECT_EQ(session.tracks()[0].status, kTrackCancelled);
    EXPECT_EQ(session.tracks()[1].status, kTrackCancelled) << "never started";
    EXPECT_FALSE(exists(dir.file("out/未知艺人/未知标题/音轨 01.wav")));
    EXPECT_EQ(session.exitCommand(), CommandResult::Done);
    EXPECT_EQ(session.refresh(true), true) << "a stopped rip leaves the disc in";

    pages.edits.rows.assign(2, RowState{false, false});
    EXPECT_FALSE(ripToTheEnd().has_value()) << "nothing ticked, nothing to tell";
    EXPECT_EQ(session.statusText(), "就绪");
}

// A silent database holds the rip's exchange; the stop ends it at once, long before its
// time-outs, and the disc's next rip asks again rather than keep the cut exchange as an answer.
TEST_F(DiscSessionTest, AStopEndsTheRipsDatabaseExchangeAtOnce) {
    test::WebTestServer database;
    database.neverAnswer();
    settings.accurateRip = {true, "127.0.0.1", database.port()};
    const std::chrono::seconds patient(60);
    DiscSession slow{settings, prompts, events, &pages, {patient, patient, patient, patient}};
    start();
    ASSERT_GE(slow.buildDriveList(), 1);
    ASSERT_EQ(slow.refresh(true), true);
    for (size_t rip = 1; rip <= 2; ++rip) {
        ASSERT_EQ(slow.convert(), ConvertResult::Started);
        for (int i = 0; i < 200 && database.requests().size() < rip; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        ASSERT_EQ(database.requests().size(), rip);
        slow.stopRip();
        waitFor(WM_RIP_DONE);
        slow.finishRip();
        EXPECT_EQ(slow.tracks()[0].status, kTrackCancelled);
    }
}

// The view hears of what changed: rows keep the user's ticks through a rip's progress and end.
TEST_F(DiscSessionTest, TheViewIsToldWhatChangedAndNoMore) {
    RecordingView view;
    session.setView(&view);
    start("", "delay=5");
    EXPECT_EQ(view.told, (std::vector<std::string>{"status", "tracks", "status"}));

    pages.edits.rows = {{true, true}, {false, false}};
    view.told.clear();
    ASSERT_EQ(session.convert(), ConvertResult::Started);
    EXPECT_EQ(view.told, (std::vector<std::string>{"row 0", "row 1", "status"}));
    const PostedMessage progress = waitFor(WM_RIP_PROGRESS);
    view.told.clear();
    session.ripProgress(static_cast<const TrackEntry*>(progress.lParam));
    const TrackEntry stranger;
    session.ripProgress(&stranger);
    EXPECT_EQ(view.told, std::vector<std::string>{"row 0"});
    waitFor(WM_RIP_DONE);
    view.told.clear();
    session.finishRip();
    EXPECT_EQ(view.told, std::vector<std::string>{"status"});

    view.told.clear();
    ASSERT_EQ(session.applyCheckCommand(CheckCommand::CheckAll), CommandResult::Done);
    ASSERT_EQ(session.setFormatOfSelected(kFormatOgg), CommandResult::Done);
    EXPECT_EQ(view.told, (std::vector<std::string>{"tracks", "row 0"}));
    session.setView(nullptr);
}

TEST_F(DiscSessionTest, StopWithoutARipMarksOnlyCheckedUnfinishedTracks) {
    start();
    pages.edits.rows = {{true, true}, {false, false}};
    session.commitEdits(false);
    session.stopRip();
    EXPECT_EQ(session.tracks()[0].status, kTrackCancelled);
    EXPECT_EQ(session.tracks()[1].status, 0);
    EXPECT_FALSE(session.ripping());
}

TEST_F(DiscSessionTest, TheRipWorksOnTheSettingsAndDiscAsTheyWereAtConvert) {
    start();
    pages.edits.disc.artist = "Before";
    settings.ejectAfterRip = true;
    ASSERT_EQ(session.convert(), ConvertResult::Started);
    settings.outputFolder = dir.file("changed");
    settings.namingTemplate = "<Title>";
    settings.ejectAfterRip = false;
    pages.edits.disc.artist = "After";
    waitFor(WM_RIP_DONE);
    const auto finished = session.finishRip();
    ASSERT_TRUE(finished.has_value());
    EXPECT_EQ(finished->summary.written, 2);
    EXPECT_EQ(finished->folder, dir.file("out"));
    EXPECT_EQ(session.statusText(), "完成：2 个音轨已写入 " + dir.file("out"));
    EXPECT_EQ(session.refresh(false), false) << "every track written: the tray opened";
    for (const TrackEntry& track : session.tracks()) EXPECT_EQ(track.status, kTrackDone);
    EXPECT_TRUE(exists(dir.file("out/Before/未知标题/音轨 01.wav")));
    EXPECT_TRUE(exists(dir.file("out/Before/未知标题/音轨 02.wav")));
    EXPECT_FALSE(exists(dir.file("changed")));
}

TEST_F(DiscSessionTest, ConvertRefusesASwappedOrRemovedDisc) {
    const std::string other = test::writeCueImage(dir.path(), "other", {300, 300, 300}).cuePath;
    start();
    for (const std::string& disc : {other, std::string()}) {
        insertDisc(0, disc);
        EXPECT_EQ(session.convert(), ConvertResult::DiscChanged) << disc;
        EXPECT_FALSE(session.ripping());
        EXPECT_EQ(session.tracks().size(), 2u) << "the list stays until the user refreshes";
    }
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, "CD 已经更换，请在转换前先刷新 CD！");
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");
    EXPECT_FALSE(events.next(std::chrono::milliseconds(50))) << "nothing started";
}

TEST_F(DiscSessionTest, ARightClickPointsAtARowOfTheList) {
    start();
    const std::pair<int, CommandResult> clicks[] = {
        {1, CommandResult::Done}, {2, CommandResult::Refused}, {-1, CommandResult::Refused}};
    for (const auto& [row, result] : clicks) EXPECT_EQ(session.pointAtTrack(row), result) << row;
    EXPECT_EQ(session.currentTrackIndex(), 1) << "refused clicks change nothing";
    settings.driveIndex = 1;
    session.refresh(false);  // no such drive: an empty list
    EXPECT_EQ(session.pointAtTrack(0), CommandResult::Refused);
}

TEST_F(DiscSessionTest, TrackCommandsChangeFormatsAndTicks) {
    start();
    settings.encoder.mp3 = {2, 0, 13, 1, 4, 12, 7};
    pages.edits.rows = {{false, false}, {true, true}};
    ASSERT_EQ(session.setFormatOfSelected(kFormatMp3), CommandResult::Done);
    EXPECT_EQ(session.tracks()[0].format, kFormatWav);
    EXPECT_EQ(session.tracks()[1].format, kFormatMp3);
    EXPECT_EQ(session.tracks()[1].encoderSettings, (EncoderSlots{2, 0, 13, 1, 4, 12, 7, 0, 0, 0}));
}

// The window never commits before a menu command: each command reads the rows the user left,
// acts on them, and keeps their selection.
TEST_F(DiscSessionTest, CheckCommandsActOnTheRowsAsTheUserLeftThem) {
    start();
    struct Case {
        CheckCommand command;
        std::vector<RowState> rows;  // what the list shows when the command comes
        int32_t checked0, checked1;
    };
    const Case cases[] = {
        {CheckCommand::CheckSelected, {{true, false}, {false, true}}, 0, 1},
        {CheckCommand::CheckAll, {{false, true}, {false, false}}, 1, 1},
        {CheckCommand::UncheckAll, {{true, false}, {true, true}}, 0, 0},
        {CheckCommand::Invert, {{true, false}, {false, true}}, 0, 1},
        {CheckCommand::InvertSelected, {{true, true}, {false, false}}, 0, 0},
    };
    for (const Case& c : cases) {
        pages.edits.rows = c.rows;
        ASSERT_EQ(session.applyCheckCommand(c.command), CommandResult::Done);
        EXPECT_EQ(session.tracks()[0].checked, c.checked0) << int(c.command);
        EXPECT_EQ(session.tracks()[1].checked, c.checked1) << int(c.command);
        for (size_t row = 0; row < 2; ++row) {
            EXPECT_EQ(session.tracks()[row].selected, c.rows[row].selected)
                << int(c.command) << " row " << row;
        }
    }
    pages.edits.rows = {{true, false}, {false, true}};
    ASSERT_EQ(session.selectAllRows(), CommandResult::Done);
    EXPECT_EQ(session.tracks()[0].selected + session.tracks()[1].selected, 2);
    EXPECT_EQ(session.tracks()[0].checked, 1) << "the ticks as the user left them";
    EXPECT_EQ(session.tracks()[1].checked, 0);
}

}  // namespace
}  // namespace lumbra
