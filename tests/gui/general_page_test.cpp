// The general page in the window: what it shows after loading, which keys each control writes
// and when, the folder chooser, and the tag fields that the commit copies into the disc record.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <QTabWidget>
#include <chrono>

#include "gui/cddb_page.h"
#include "gui/general_page.h"
#include "support/accuraterip_test_server.h"
#include "window_harness.h"

namespace lumbra {
namespace {

class GeneralPageTest : public test::WindowHarness {
protected:
    // The window on the general page, so that clicks reach its controls.
    void openOnPage(const std::string& discs, const std::string& faults = "") {
        open(discs, faults);
        window->tabs()->setCurrentWidget(&page());
    }

    gui::GeneralPage& page() const { return window->generalPage(); }
    template <typename T>
    T* control(const char* name) const {
        return page().findChild<T*>(name);
    }
    std::string stored(const keys::StringKey& key) const { return store.read(key); }
    int stored(const keys::IntKey& key) const { return store.read(key); }
};

TEST_F(GeneralPageTest, ShowsWhatItLoaded) {
    configure(false, "[Jitter]\nJitter_Correction=5\n");
    openOnPage(image("plain", 1, 2));  // a disc without CD-Text keeps the page's start values
    EXPECT_EQ(control<QComboBox>("template")->currentText(), "<Artist> \\ <Album> \\ <Title>");
    EXPECT_EQ(control<QLineEdit>("example")->text().toStdString(),
              outputFolder() + "/Harbour Lights/Paper Boats/Morning Tide.mp3");
    EXPECT_EQ(control<QLineEdit>("folder")->text().toStdString(), outputFolder());
    EXPECT_TRUE(control<QCheckBox>("tagSwitch")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("overwrite")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("antiCrackle")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("replayGain")->isChecked()) << "on by default";
    EXPECT_TRUE(control<QRadioButton>("jitterOnErrors")->isChecked()) << "5 shows as on errors";
    EXPECT_EQ(settings.jitterMode, 5) << "and is kept as read";
    EXPECT_EQ(page().tagFields().disc.year, "2003");
}

TEST_F(GeneralPageTest, TheTemplateBoxWritesOutputFormatOnEveryChange) {
    openOnPage("demo");
    QComboBox* box = control<QComboBox>("template");
    box->lineEdit()->clear();
    std::string typed;
    for (char c : std::string("<title>-<YEAR>")) {
        QTest::keyClick(box->lineEdit(), c);
        typed += c;
        ASSERT_EQ(stored(keys::kOutputFormat), typed);
        EXPECT_EQ(settings.namingTemplate, typed);
    }
    EXPECT_EQ(control<QLineEdit>("example")->text().toStdString(),
              outputFolder() + "/Morning Tide-_YEAR_.mp3")
        << "the path a rip would write, angle brackets tidied";
    control<QLineEdit>("folder")->setText("/srv/music");
    EXPECT_EQ(control<QLineEdit>("example")->text(), "/srv/music/Morning Tide-_YEAR_.mp3")
        << "the folder as typed, before it is applied";
    choose(box, 6);
    EXPECT_EQ(stored(keys::kOutputFormat), "<Artist> \\ <Title>");
}

TEST_F(GeneralPageTest, ControlsWriteTheirKeysAtTheirMoments) {
    openOnPage("demo");
    QTest::mouseClick(control<QRadioButton>("jitterAlways"), Qt::LeftButton);
    EXPECT_EQ(stored(keys::kJitterCorrection), 2) << "at once";
    EXPECT_EQ(settings.jitterMode, 2);

    QTest::mouseClick(control<QCheckBox>("overwrite"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>("antiCrackle"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>("tagSwitch"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>("replayGain"), Qt::LeftButton);
    EXPECT_FALSE(settings.overwrite) << "the record at once";
    EXPECT_FALSE(settings.replayGain);
    EXPECT_TRUE(settings.antiCrackle);
    EXPECT_EQ(home.read("setup.ini").find("GEN_OVERWRITE"), std::string::npos)
        << "the file on apply";

    control<QLineEdit>("folder")->setText(QString::fromStdString(home.file("elsewhere/")));
    QTest::mouseClick(control<QPushButton>("apply"), Qt::LeftButton);
    EXPECT_EQ(stored(keys::kOverwrite), 0);
    EXPECT_EQ(stored(keys::kAntiCrackle), 1);
    EXPECT_EQ(stored(keys::kId3Enable), 0);
    EXPECT_EQ(stored(keys::kReplayGain), 0);
    EXPECT_EQ(stored(keys::kOutputFolder), home.file("elsewhere"));
    EXPECT_EQ(settings.outputFolder, home.file("elsewhere"));
    EXPECT_EQ(stored(keys::kJitterCorrection), 2);
}

// The offset shown and stored is the chosen drive model's, and follows the drive chosen while the
// page is shown; test and copy is stored on apply.
TEST_F(GeneralPageTest, ReadOffsetIsTheDriveModelsAndTestAndCopyAnotherSwitch) {
    configure(false, "[READ_OFFSET]\nLUMBRA VIRTUAL CD-ROM 1.0=6\nOTHER DRIVE 1.0=99\n");
    openOnPage("demo;demo");
    QSpinBox* offset = control<QSpinBox>("readOffset");
    EXPECT_EQ(offset->value(), 6);
    offset->setValue(-472);
    QTest::mouseClick(control<QCheckBox>("testAndCopy"), Qt::LeftButton);
    EXPECT_TRUE(settings.testAndCopy);
    QTest::mouseClick(control<QPushButton>("apply"), Qt::LeftButton);
    EXPECT_EQ(store.readInt("READ_OFFSET", "LUMBRA VIRTUAL CD-ROM 1.0", 0), -472);
    EXPECT_EQ(store.readInt("READ_OFFSET", "OTHER DRIVE 1.0", 0), 99);
    EXPECT_EQ(stored(keys::kTestAndCopy), 1);

    page().offsetSearchEnded(667);  // the user chose to store what the search found
    EXPECT_EQ(offset->value(), 667);
    EXPECT_EQ(store.readInt("READ_OFFSET", "LUMBRA VIRTUAL CD-ROM 1.0", 0), 667) << "at once";

    page().driveModel = [this] { return std::to_string(session().settings().driveIndex); };
    settings.readOffsets = {{"0", 6}, {"1", -472}};
    choose(rip().driveBox(), 1);
    EXPECT_EQ(offset->value(), -472);
    choose(rip().driveBox(), 0);
    EXPECT_EQ(offset->value(), 6);
}

// 检测偏移 reads beside the window: the button waits and the page and the status line say a
// search runs; a drive change and the window's end stop it at once, even while the database
// keeps silent, and a stopped search tells the user nothing.
TEST_F(GeneralPageTest, OffsetSearchRunsBesideTheWindowAndStopsAtOnce) {
    test::AccurateRipTestServer database;
    database.neverAnswer();
    accurateRipPort = database.port();
    openOnPage("demo;demo");
    QPushButton* detect = control<QPushButton>("detectOffset");
    QTest::mouseClick(detect, Qt::LeftButton);
    ASSERT_TRUE(session().offsetSearchRunning());
    EXPECT_FALSE(detect->isEnabled());
    EXPECT_EQ(control<QLabel>("offsetSearch")->text().toStdString(),
              session_status::kFindingOffset);
    EXPECT_EQ(status().toStdString(), session_status::kFindingOffset);

    const auto quickly = [](const auto& started) {
        return std::chrono::steady_clock::now() - started < std::chrono::seconds(2);
    };
    auto started = std::chrono::steady_clock::now();
    choose(rip().driveBox(), 1);
    EXPECT_TRUE(quickly(started));
    EXPECT_FALSE(session().offsetSearchRunning());
    EXPECT_TRUE(detect->isEnabled());
    EXPECT_TRUE(control<QLabel>("offsetSearch")->text().isEmpty());
    QTest::qWait(100);  // the stopped search's end arrives
    EXPECT_TRUE(prompts.shown.empty());

    // The player reads the same drive: playing stops the search, as the tray does.
    QTest::mouseClick(detect, Qt::LeftButton);
    ASSERT_TRUE(session().offsetSearchRunning());
    rip().player().play(0);
    EXPECT_FALSE(session().offsetSearchRunning());
    QTest::qWait(100);
    EXPECT_TRUE(detect->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());
    rip().player().stop();

    QTest::mouseClick(detect, Qt::LeftButton);
    ASSERT_TRUE(session().offsetSearchRunning());
    started = std::chrono::steady_clock::now();
    window.reset();
    EXPECT_TRUE(quickly(started));
}

TEST_F(GeneralPageTest, OffsetSearchEndsWithTheDatabasesAnswer) {
    test::AccurateRipTestServer database;  // the demo disc is not in it
    accurateRipPort = database.port();
    openOnPage("demo");
    QTest::mouseClick(control<QPushButton>("detectOffset"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([this] { return !session().offsetSearchRunning(); }));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("不在 AccurateRip 数据库中"), std::string::npos);
    EXPECT_TRUE(control<QPushButton>("detectOffset")->isEnabled());
    EXPECT_EQ(status().toStdString(), session_status::kReady);
    EXPECT_EQ(store.readInt("READ_OFFSET", "LUMBRA VIRTUAL CD-ROM 1.0", 0), 0);
}

// Neither folder chooser, the output's nor the CDDB page's, opens during a rip.
TEST_F(GeneralPageTest, TheFolderChooserKeepsTheRootAndWaitsForARip) {
    openOnPage(image("disc", 1, 30), "delay=20");
    int asked = 0;
    page().chooseFolder = window->cddbPage().chooseFolder = [&](QWidget*) {
        ++asked;
        return QString("/");
    };
    QTest::mouseClick(control<QPushButton>("browse"), Qt::LeftButton);
    EXPECT_EQ(stored(keys::kOutputFolder), "/");
    EXPECT_EQ(settings.outputFolder, "/");

    configure(false);  // the file back to the test's folder
    ripWav({0});
    QTest::mouseClick(control<QPushButton>("browse"), Qt::LeftButton);
    window->tabs()->setCurrentWidget(&window->cddbPage());
    QTest::mouseClick(window->cddbPage().findChild<QAbstractButton*>("browse"), Qt::LeftButton);
    EXPECT_EQ(asked, 1) << "refused while ripping";
    click("stop");
    ASSERT_TRUE(waitForRipEnd());
}

TEST_F(GeneralPageTest, RefreshResetsTheDiscFieldsAndConvertCommitsThem) {
    openOnPage("demo");
    control<QLineEdit>("artist")->setText("乐队");
    control<QLineEdit>("comment")->setText("留言");
    choose(control<QComboBox>("genre"), 17);
    click("refresh");
    const DiscRecord shown = page().tagFields().disc;
    EXPECT_EQ(shown.artist, "The Lumbra Quartet") << "the disc's own CD-Text, not the typing";
    EXPECT_EQ(shown.genre, 4);
    EXPECT_EQ(shown.comment, "留言") << "the comment stays";

    control<QLineEdit>("album")->setText("专辑");
    ripWav({});  // nothing ticked: the job ends at once, after the commit
    ASSERT_TRUE(waitForRipEnd());
    EXPECT_EQ(session().disc().album, "专辑");
    EXPECT_EQ(session().disc().comment, "留言");
}

}  // namespace
}  // namespace lumbra
