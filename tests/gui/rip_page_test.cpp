// The rip page over the real session, jobs, virtual drives and loopback CDDB server: lookups that
// fill the titles or must change nothing, a rip with its progress and files, a stop, a swapped
// disc, and every command that a running rip refuses.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

#include "gui/general_page.h"
#include "gui/track_settings_dialog.h"
#include "support/segment_image.h"
#include "support/web_test_server.h"
#include "window_harness.h"

namespace lumbra {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class RipPageTest : public test::WindowHarness {
protected:
    void addDiscEntry() {
        server.addEntry(
            {"rock", "0200b201", "乐队", "专辑",
             "DTITLE=乐队 / 专辑\r\nDYEAR=2003\r\nTTITLE0=第一首\r\nTTITLE1=Second\r\n"});
    }

    bool waitForProgress(int row) {
        return waitFor([&] {
            const QString text = cell(row, gui::TrackListModel::kProgress);
            return text.endsWith('%') && text != "0%";
        });
    }
    std::vector<bool> ticks() const {
        std::vector<bool> ticked;
        for (int row = 0; row < rows(); ++row) ticked.push_back(rip().model().ticked(row));
        return ticked;
    }
};

TEST_F(RipPageTest, AReleasesCoverShowsBelowTheCommandsUntilTheDiscIsRefreshed) {
    test::WebTestServer web;
    const std::string release = "aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee";
    web.route("/ws/2/discid/",
              test::webReply(200, R"({"releases":[{"id":")" + release +
                                      R"(","title":"B","media":[{"tracks":[{"title":"m1"},)"
                                      R"({"title":"m2"}]}]}]})"));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    picture.save(&png, "PNG");
    web.route("/release/" + release + "/front-500", test::webReply(200, png.data().toStdString()));
    const std::string port = std::to_string(web.port());
    musicBrainz = "MB_ENABLE=1\nMB_SERVER=127.0.0.1\nMB_PORT=" + port +
                  "\nMB_TLS=0\nCAA_ENABLE=1\nCAA_SERVER=127.0.0.1\nCAA_PORT=" + port +
                  "\nCAA_TLS=0";
    configure(true);
    open(image("disc", 2, 4));
    const auto* cover = rip().findChild<QLabel*>("cover");
    EXPECT_FALSE(cover->isVisible()) << "nothing to show before the lookup";
    ASSERT_TRUE(waitFor([&] { return cell(1, 0) == "m2"; }));
    ASSERT_TRUE(waitFor([&] { return cover->isVisible(); }));
    EXPECT_LE(cover->pixmap().width(), rip().findChild<QPushButton*>("refresh")->width() * 2);
    EXPECT_EQ(cover->pixmap().width() * 3, cover->pixmap().height() * 4) << "its proportions";

    click("refresh");
    EXPECT_FALSE(cover->isVisible()) << "the cover went with the disc's titles";
}

// The rip writes the rows ticked at convert; ticks changed during the rip stay after it.
TEST_F(RipPageTest, ConvertShowsProgressThenDoneAndWritesTheTickedTracks) {
    open(image("disc", 3, 5), "delay=10");
    std::vector<QString> seen;
    QObject::connect(&rip().model(), &QAbstractItemModel::dataChanged,
                     [&] { seen.push_back(cell(2, gui::TrackListModel::kProgress)); });
    ripWav({0, 2});
    EXPECT_TRUE(status().contains("正在抓取..")) << status().toStdString();
    ASSERT_TRUE(waitForProgress(0));
    tick(0, false);  // for the next rip: this one works on the ticks it started with
    tick(1);
    ASSERT_TRUE(waitForRipEnd());
    const QString done = QString::fromStdString("完成：2 个音轨已写入 " + outputFolder());
    ASSERT_TRUE(waitFor([&] { return status() == done; })) << status().toStdString();
    EXPECT_EQ(cell(0, gui::TrackListModel::kProgress), "已完成");
    EXPECT_EQ(cell(1, gui::TrackListModel::kProgress), "0%") << "not ticked";
    EXPECT_EQ(cell(2, gui::TrackListModel::kProgress), "已完成");
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const QString& text) {
        return text.endsWith('%') && text != "0%";
    })) << "progress shows before the end";
    EXPECT_EQ(filesBelow(outputFolder()),
              (std::vector<std::string>{"未知艺人/未知标题/音轨 01.wav",
                                        "未知艺人/未知标题/音轨 03.wav"}));
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, true})) << "the ticks changed meanwhile";
}

TEST_F(RipPageTest, StopDuringATrackShowsStoppedAndLeavesNoFile) {
    open(image("disc", 1, 30), "delay=20");
    ripWav({0});
    ASSERT_TRUE(waitForProgress(0));
    click("stop");
    EXPECT_EQ(cell(0, gui::TrackListModel::kProgress), "已停止");
    click("refresh");  // the job has not ended yet: still refused
    EXPECT_EQ(rows(), 1);
    ASSERT_TRUE(waitForRipEnd());
    EXPECT_EQ(cell(0, gui::TrackListModel::kProgress), "已停止");
    EXPECT_TRUE(waitFor([&] { return status().startsWith("已停止：0 个音轨已写入"); }));
    EXPECT_EQ(filesBelow(outputFolder()), std::vector<std::string>{});
}

// The automatic lookup at start fills the titles and the disc fields; the CDDB button meanwhile
// starts no second one.
TEST_F(RipPageTest, TheCddbButtonDuringALookupStartsNoSecondOne) {
    addDiscEntry();
    server.delayAnswers(std::chrono::milliseconds(1000));
    configure(true);
    open(image("disc", 2, 4));
    ASSERT_TRUE(session().lookupActive());
    click("cddb");
    EXPECT_EQ(status(), "就绪");
    ASSERT_TRUE(waitFor([&] { return cell(0, 0) == "第一首"; }));
    EXPECT_EQ(server.requests().size(), 2u) << "one query and one read";
    EXPECT_EQ(cell(1, 0), "Second");
    EXPECT_EQ(status(), "就绪");
    EXPECT_EQ(session().disc().artist, "乐队");
    EXPECT_EQ(window->generalPage().tagFields().disc.album, "专辑") << "the page shows the result";
}

TEST_F(RipPageTest, ALookupThatEndsAfterConvertChangesNothing) {
    addDiscEntry();
    server.delayAnswers(std::chrono::milliseconds(1000));
    configure(true);
    open(image("disc", 2, 4));
    ASSERT_TRUE(session().lookupActive());
    ripWav({0});
    EXPECT_FALSE(session().lookupActive());
    ASSERT_TRUE(waitForRipEnd());
    QTest::qWait(2500);  // the stopped lookup's answer has come and gone
    EXPECT_EQ(cell(0, 0), "音轨 01");
    EXPECT_EQ(session().disc().artist, "未知艺人");
    EXPECT_EQ(window->generalPage().tagFields().disc.artist, "未知艺人");
}

TEST_F(RipPageTest, EveryCommandRefusedWhileRippingLeavesTheListUntouched) {
    open(image("disc", 2, 30) + ";demo", "delay=20");
    allWav();
    tick(0);
    selectOnly({1});
    click("convert");
    ASSERT_TRUE(session().ripping());
    const std::vector<TrackEntry> before = session().tracks();
    const int encoderPosition = rip().encoderBox()->currentIndex();

    click("refresh");
    choose(rip().driveBox(), 1);
    EXPECT_EQ(rip().driveBox()->currentIndex(), 0) << "the box goes back";
    click("cddb");
    click("convert");
    choose(rip().encoderBox(), kFormatOgg);
    EXPECT_EQ(rip().encoderBox()->currentIndex(), encoderPosition) << "the box goes back";
    for (QMenu* menu : {rip().selectMenu(), rip().contextMenu()}) {
        for (QAction* action : menu->actions()) action->trigger();
    }
    click("select");  // its menu does not open: the call returns at once

    const auto& after = session().tracks();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].title, before[i].title);
        EXPECT_EQ(after[i].checked, before[i].checked) << i;
        EXPECT_EQ(after[i].format, before[i].format) << i;
        EXPECT_EQ(after[i].encoderSettings, before[i].encoderSettings) << i;
    }
    EXPECT_TRUE(server.requests().empty()) << "no lookup";
    EXPECT_TRUE(session().ripping()) << "no second job, no stop";
    click("stop");
    ASSERT_TRUE(waitForRipEnd());
}

// Rows picked with the mouse, as a user picks them: 检查选定 ticks exactly those, and no check
// command loses them.
TEST_F(RipPageTest, CheckCommandsTickTheRowsPickedAndKeepThem) {
    open(image("disc", 3, 2));
    QWidget* rowsArea = rip().trackView()->viewport();
    const auto rowCentre = [&](int row) {
        return rip().trackView()->visualRect(rip().model().index(row, 1)).center();
    };
    QTest::mouseClick(rowsArea, Qt::LeftButton, {}, rowCentre(1));
    QTest::mouseClick(rowsArea, Qt::LeftButton, Qt::ControlModifier, rowCentre(2));
    const auto picked = [&] {
        std::vector<int> picked;
        for (const QModelIndex& index : rip().trackView()->selectionModel()->selectedRows())
            picked.push_back(index.row());
        std::sort(picked.begin(), picked.end());
        return picked;
    };
    ASSERT_EQ(picked(), (std::vector<int>{1, 2}));
    const auto menuItem = [&](QMenu* menu, const char* start) {
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(start)) return action;
        }
        return static_cast<QAction*>(nullptr);
    };
    menuItem(rip().selectMenu(), "检查选定")->trigger();
    EXPECT_EQ(ticks(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(picked(), (std::vector<int>{1, 2}));

    const std::pair<QMenu*, const char*> commands[] = {{rip().selectMenu(), "全部检查"},
                                                       {rip().selectMenu(), "全部不选"},
                                                       {rip().selectMenu(), "反选"},
                                                       {rip().contextMenu(), "选择/反选音轨"}};
    for (const auto& [menu, start] : commands) {
        menuItem(menu, start)->trigger();
        EXPECT_EQ(picked(), (std::vector<int>{1, 2})) << start;
    }
    EXPECT_EQ(ticks(), (std::vector<bool>{true, false, false})) << "all, none, inverted, then "
                                                                   "the picked rows inverted";
}

// Whatever rewrote the rows last, the encoder box names the format of the first selected row.
TEST_F(RipPageTest, TheEncoderBoxFollowsTheSelectedRowAfterRefreshLookupAndTrackDialog) {
    addDiscEntry();
    open(image("disc", 2, 4));
    QComboBox* box = rip().encoderBox();
    selectOnly({0});
    choose(box, kFormatOgg);
    click("refresh");
    ASSERT_TRUE(cell(0, 2).startsWith("MP3"));
    EXPECT_EQ(box->currentText(), "MP3") << "after a refresh";

    selectOnly({1});
    choose(box, kFormatOgg);
    selectOnly({0});
    click("cddb");
    ASSERT_TRUE(waitFor([&] { return cell(0, 0) == "第一首"; }));
    EXPECT_EQ(box->currentText(), "MP3") << "after a lookup";

    rip().runTrackDialog = [](gui::TrackSettingsDialog& dialog) {
        choose(dialog.findChild<QComboBox*>("format"), kFormatWma);
        return true;
    };
    for (QAction* action : rip().contextMenu()->actions()) {
        if (action->text() == "音轨设置") action->trigger();
    }
    ASSERT_TRUE(cell(0, 2).startsWith("WMA"));
    EXPECT_EQ(box->currentText(), "WMA") << "after the track dialog's OK";
}

TEST_F(RipPageTest, ClosingTheWindowDuringARipStopsItAndLeavesNoFile) {
    open(image("disc", 1, 30), "delay=20");
    ripWav({0});
    ASSERT_TRUE(waitForProgress(0));
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(session().ripping()) << "the job has ended before the window closed";
    EXPECT_EQ(filesBelow(outputFolder()), std::vector<std::string>{});
}

TEST_F(RipPageTest, ADataTrackIsListedSaysSoAndCannotBeTicked) {
    open(test::writeSegmentImage(home.path(), "mixed", {{{{300}}, true}, {{{300}}}}).cuePath);
    ASSERT_EQ(rows(), 2);
    EXPECT_TRUE(cell(0, 0).startsWith("音轨 01")) << cell(0, 0).toStdString();
    EXPECT_NE(cell(0, 0), "音轨 01") << "the row says it holds data";
    EXPECT_EQ(cell(1, 0), "音轨 02");
    ripWav({0, 1});
    EXPECT_FALSE(rip().model().ticked(0)) << "a data track has no audio to rip";
    ASSERT_TRUE(waitForRipEnd());
    EXPECT_EQ(cell(1, gui::TrackListModel::kProgress), "已完成") << "the audio track after it";
}

// A user without a mouse: Space ticks the row in focus whatever its cell, the select menu's keys
// work, Tab leaves the list, and Ctrl+A during a rip changes the selection no more than the menu.
TEST_F(RipPageTest, TheListWorksFromTheKeyboard) {
    open(image("disc", 3, 30), "delay=20");
    window->activateWindow();  // keys reach shortcuts in the active window only
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTableView* list = rip().trackView();
    // The tab bar had it, so the first Space of a user without a mouse went nowhere.
    EXPECT_TRUE(list->hasFocus()) << "the list has the focus from the start";
    list->setCurrentIndex(rip().model().index(1, gui::TrackListModel::kDuration));
    const std::vector<bool> before = ticks();
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_NE(ticks()[1], before[1]);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ticks(), (std::vector<bool>{true, true, true}));
    QTest::keyClick(list, Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(ticks(), (std::vector<bool>{false, false, false}));

    allWav();
    tick(2);
    selectOnly({0});
    click("convert");
    ASSERT_TRUE(session().ripping());
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 1) << "refused during a rip";
    click("stop");
    ASSERT_TRUE(waitForRipEnd());
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 3);

    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_FALSE(list->hasFocus()) << "Tab moves on to the next control";
}

}  // namespace
}  // namespace lumbra
