// Start-up and shutdown of the main window: a first start, a machine without drives, the keys
// that must not close it, the exit guard during a rip, help, and texts that fit their controls.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "gui/cddb_page.h"
#include "gui/help_links.h"
#include "gui/start_options.h"
#include "gui/tip_dialog.h"
#include "window_harness.h"

namespace lumbra {
namespace {

class MainWindowTest : public test::WindowHarness {};

TEST_F(MainWindowTest, AFirstStartWritesTheDefaultsAndListsTheDemoDisc) {
    home.write("setup.ini", "[CDDB]\nCDDB_AUTO=0\n");  // no lookup leaves this machine
    open("demo");
    EXPECT_EQ(window->windowTitle(), "Lumbra CD Ripper");
    QStringList tabs;
    for (int i = 0; i < window->tabs()->count(); ++i) tabs << window->tabs()->tabText(i);
    EXPECT_EQ(tabs,
              (QStringList{"编码器(&E)", "全局设置(&G)", "音频设置(&U)", "CDDB(&D)", "关于(&A)"}));
    EXPECT_EQ(window->tabs()->currentIndex(), 0);
    ASSERT_EQ(rows(), 5);
    EXPECT_EQ(cell(0, 0), "Morning Tide") << "the demo disc's CD-Text";
    EXPECT_EQ(cell(0, 2), "MP3 - [ 128-192 kbps VBR Q3 ]");
    EXPECT_EQ(rip().encoderBox()->currentText(), "MP3");
    EXPECT_EQ(status(), "就绪");
    EXPECT_TRUE(rip().trackView()->selectionModel()->isRowSelected(0, {}));
    const std::string ini = home.read("setup.ini");
    for (const std::string& line :
         std::vector<std::string>{"OUTPUT_FORMAT=<Artist> \\ <Album> \\ <Title>",
                                  "OUTPUT_FOLDER=" + home.file("My Music"),
                                  "CDDB_SERVER0=gnudb.gnudb.org", "CDDB_COUNT=1"}) {
        EXPECT_NE(ini.find(line + "\n"), std::string::npos) << line << "\n" << ini;
    }
    EXPECT_TRUE(prompts.shown.empty());

    const gui::CddbPage& cddb = window->cddbPage();
    const auto field = [&](const char* name) { return cddb.findChild<QLineEdit*>(name); };
    EXPECT_EQ(cddb.findChild<QComboBox*>("servers")->currentText(),
              "gnudb.gnudb.org [80] -  (freedb server)");
    EXPECT_EQ(field("port")->text(), "80");
    EXPECT_EQ(field("query")->text(), "/~cddb/cddb.cgi");
    EXPECT_EQ(field("localFolder")->text().toStdString(), home.file("Local CDDB"));
    EXPECT_FALSE(field("proxyHost")->isEnabled()) << "the proxy is off";
    EXPECT_EQ(field("proxyPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(settings.cddb.currentServer.host, "gnudb.gnudb.org");
}

TEST_F(MainWindowTest, WithoutADriveItSaysSoAndListsNothing) {
    home.write("setup.ini", "[CDDB]\nCDDB_AUTO=1\n");
    open("");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "无法找到任何 CD-ROM 驱动器");
    EXPECT_EQ(prompts.shown[0].caption, "Lumbra CD Ripper");
    EXPECT_EQ(status(), "没有找到音频 CD");
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(rip().driveBox()->count(), 0);
    EXPECT_FALSE(session().lookupActive());
}

// Sheet names that a plain ";"-joined disc list would split, trim or take for the demo disc;
// relative, as typed in the folder the program starts in.
TEST_F(MainWindowTest, EveryImageOptionGetsItsOwnDriveHoldingThatSheet) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(home.path());
    const QStringList names = {"demo", "two;drives.cue", "  blank.cue"};
    for (int i = 0; i < names.size(); ++i) {
        std::filesystem::rename(image("disc" + std::to_string(i), i + 1, 2),
                                home.file(names[i].toStdString()));
    }
    const auto options = gui::cdAccessOptions({false, names, {}, true, {}});
    ASSERT_TRUE(options.has_value());
    open(options->virtualDiscs);
    ASSERT_EQ(rip().driveBox()->count(), 3);
    for (int drive = 0; drive < 3; ++drive) {
        choose(rip().driveBox(), drive);
        EXPECT_EQ(rows(), drive + 1) << names[drive].toStdString();
    }
    std::filesystem::current_path(previous);
}

// As a desktop starts the program for an inserted CD: that drive is the one shown and read.
TEST_F(MainWindowTest, TheDriveNamedAtStartIsShownAndTheDrivesOfOneModelNameTheirImage) {
    startDevice = "second.cue";  // a virtual drive's device is its sheet's name
    open(image("first", 1, 2) + ";" + image("second", 3, 2));
    EXPECT_EQ(rip().driveBox()->currentIndex(), 1);
    EXPECT_EQ(rows(), 3);
    EXPECT_TRUE(rip().driveBox()->itemText(0).endsWith(" first.cue"))
        << rip().driveBox()->itemText(0).toStdString();
}

// Shown before the window, the tip stood alone on the screen and the window came up only after it.
TEST_F(MainWindowTest, TheTipOfTheDayComesUpOverTheShownWindow) {
    tipsAtStart = true;
    open("demo");
    bool overTheWindow = false;
    QTimer::singleShot(100, [&] {
        auto* tip = window->findChild<gui::TipDialog*>();
        ASSERT_NE(tip, nullptr);
        overTheWindow =
            tip->isVisible() && window->isVisible() && tip->parentWidget() == window.get();
        tip->close();
    });
    QTest::qWait(300);
    EXPECT_TRUE(overTheWindow);
}

// No two controls reachable at the same time share a letter: a page's buttons, the tabs and the
// window's own button; keys that would close a dialog do nothing here.
TEST_F(MainWindowTest, TheKeysOfTheWindow) {
    open("demo");
    const auto letterOf = [](const QString& text) {
        const qsizetype at = text.indexOf('&');
        return at >= 0 && at + 1 < text.size() ? text[at + 1].toUpper() : QChar();
    };
    QString windowLetters = letterOf(button("exit")->text());
    for (int i = 0; i < window->tabs()->count(); ++i) {
        const QChar letter = letterOf(window->tabs()->tabText(i));
        EXPECT_FALSE(letter.isNull() || windowLetters.contains(letter)) << i;
        windowLetters += letter;
    }
    for (int page = 0; page < window->tabs()->count(); ++page) {
        QString letters = windowLetters;
        for (auto* pushButton : window->tabs()->widget(page)->findChildren<QPushButton*>()) {
            if (pushButton->text().isEmpty() || pushButton->text() == ">>") continue;
            const QChar letter = letterOf(pushButton->text());
            EXPECT_FALSE(letter.isNull() || letters.contains(letter))
                << pushButton->text().toStdString();
            letters += letter;
        }
    }
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(window->tabs()->currentIndex(), 1);

    // Escape and Enter neither close the window nor press a button.
    window->tabs()->setCurrentIndex(0);
    button("refresh")->setFocus();
    const size_t messages = prompts.shown.size();
    for (QWidget* target :
         {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(button("refresh")),
          static_cast<QWidget*>(rip().trackView())}) {
        for (auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, key);
    }
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompts.shown.size(), messages);
    EXPECT_EQ(window->result(), 0);
}

TEST_F(MainWindowTest, ExitDuringARipSaysStopFirstAndStaysWhileTheRipClockRuns) {
    open(image("disc", 1, 60), "delay=20");
    ripWav({0});
    click("exit");
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().text, "请在退出前先停止编码！");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(session().ripping());
    EXPECT_TRUE(waitFor([&] { return status() == "[00:00:01]  正在抓取.."; })) << "the rip clock";
    click("stop");
    click("exit");
    EXPECT_TRUE(window->isVisible()) << "a stopped rip runs until its job has ended";
    ASSERT_TRUE(waitForRipEnd());
    click("exit");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, HelpOpensTheBundledFileInTheBrowserOrInAWindowOfItsOwn) {
    open("demo");
    std::vector<QUrl> opened;
    bool opens = true;
    window->helpLinks().openUrl = [&](const QUrl& url) {
        opened.push_back(url);
        return opens;
    };
    QTest::mouseClick(window->findChild<QAbstractButton*>("help"), Qt::LeftButton);
    QTest::mouseClick(window->findChild<QAbstractButton*>("home"), Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(opened[0].path().endsWith("/help.html"));
    EXPECT_EQ(opened[1].fragment(), "home");
    EXPECT_TRUE(prompts.shown.empty());
    // Without a browser the help only went to stderr, and the user saw nothing.
    opens = false;
    QTest::mouseClick(window->findChild<QAbstractButton*>("home"), Qt::LeftButton);
    QTextBrowser* help = window->helpLinks().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->source().fragment(), "home");
    EXPECT_TRUE(help->toPlainText().contains("Lumbra CD Ripper"));
    EXPECT_TRUE(prompts.shown.empty());
}

// Chinese captions are wider than the Latin ones the proportions were drawn for: every caption
// must get at least the room its text asks for, on every page.
TEST_F(MainWindowTest, EveryCaptionFitsAndTheWindowGrowsAndScrolls) {
    open("demo");
    for (int page = 0; page < window->tabs()->count(); ++page) {
        window->tabs()->setCurrentIndex(page);
        QApplication::processEvents();
        for (QWidget* widget : window->tabs()->currentWidget()->findChildren<QWidget*>()) {
            const bool captioned =
                qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
            const auto* label = qobject_cast<QLabel*>(widget);
            if (!captioned || !widget->isVisible() || (label && label->wordWrap())) continue;
            const QSize needed = widget->minimumSizeHint().expandedTo(widget->sizeHint());
            EXPECT_GE(widget->width(), needed.width())
                << widget->objectName().toStdString() << " " << widget->metaObject()->className()
                << " on page " << page;
            EXPECT_GE(widget->height(), needed.height()) << widget->objectName().toStdString();
        }
    }

    // The window may grow, and the track list takes the room; below the size its pages need,
    // they scroll, so that every control stays within reach on a small or highly scaled screen.
    window->tabs()->setCurrentIndex(0);
    QApplication::processEvents();
    const QSize start = window->size();
    EXPECT_GE(start.width(), window->minimumWidth());
    EXPECT_LT(window->minimumSize().width(), window->maximumSize().width()) << "resizable";
    const int listHeight = rip().trackView()->height();
    window->resize(start + QSize(200, 300));
    QApplication::processEvents();
    EXPECT_GE(rip().trackView()->height(), listHeight + 250) << "the list takes the room";

    auto* scroller = window->findChild<QScrollArea*>("pageScroller");
    ASSERT_NE(scroller, nullptr);
    window->setMinimumSize(0, 0);
    window->resize(start / 2);
    QApplication::processEvents();
    QPushButton* convert = button("convert");
    scroller->ensureWidgetVisible(convert);
    QApplication::processEvents();
    const QRect shown(convert->mapTo(scroller->viewport(), QPoint(0, 0)), convert->size());
    EXPECT_TRUE(scroller->viewport()->rect().contains(shown)) << "scrolled into reach";
    EXPECT_GE(convert->width(), convert->minimumSizeHint().width()) << "never cut";
}

}  // namespace
}  // namespace lumbra
