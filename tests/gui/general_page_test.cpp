// The general page in the window: what it shows after loading, which keys each control writes
// and when, the folder chooser, and the tag fields that the commit copies into the disc record.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <QTabWidget>

#include "gui/general_page.h"
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
    EXPECT_EQ(control<QComboBox>("template")->count(), 7);
    EXPECT_EQ(control<QLineEdit>("folder")->text().toStdString(), outputFolder());
    EXPECT_TRUE(control<QCheckBox>("tagSwitch")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("overwrite")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("antiCrackle")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("replayGain")->isChecked()) << "on by default";
    EXPECT_TRUE(control<QRadioButton>("jitterOnErrors")->isChecked()) << "5 shows as on errors";
    EXPECT_EQ(settings.jitterMode, 5) << "and is kept as read";
    EXPECT_EQ(control<QComboBox>("genre")->count(), 80);
    EXPECT_EQ(page().tagFields().disc.year, "2003");
}

TEST_F(GeneralPageTest, TheTemplateBoxWritesOutputFormatOnEveryChange) {
    configure(false);
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
    configure(false);
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

// The offset shown and stored is the chosen drive model's; test and copy is stored on apply.
TEST_F(GeneralPageTest, ReadOffsetIsTheDriveModelsAndTestAndCopyAnotherSwitch) {
    configure(false, "[READ_OFFSET]\nLUMBRA VIRTUAL CD-ROM 1.0=6\nOTHER DRIVE 1.0=99\n");
    openOnPage("demo");
    QSpinBox* offset = control<QSpinBox>("readOffset");
    EXPECT_EQ(offset->value(), 6);
    offset->setValue(-472);
    QTest::mouseClick(control<QCheckBox>("testAndCopy"), Qt::LeftButton);
    EXPECT_TRUE(settings.testAndCopy);
    QTest::mouseClick(control<QPushButton>("apply"), Qt::LeftButton);
    EXPECT_EQ(store.readInt("READ_OFFSET", "LUMBRA VIRTUAL CD-ROM 1.0", 0), -472);
    EXPECT_EQ(store.readInt("READ_OFFSET", "OTHER DRIVE 1.0", 0), 99);
    EXPECT_EQ(stored(keys::kTestAndCopy), 1);

    page().findOffset = [] { return std::optional<int32_t>(667); };
    QTest::mouseClick(control<QPushButton>("detectOffset"), Qt::LeftButton);
    EXPECT_EQ(offset->value(), 667);
    EXPECT_EQ(store.readInt("READ_OFFSET", "LUMBRA VIRTUAL CD-ROM 1.0", 0), 667) << "at once";
}

TEST_F(GeneralPageTest, TheFolderChooserKeepsTheRootAndWaitsForARip) {
    configure(false);
    openOnPage(image("disc", 1, 30), "delay=20");
    int asked = 0;
    page().chooseFolder = [&](QWidget*) {
        ++asked;
        return QString("/");
    };
    QTest::mouseClick(control<QPushButton>("browse"), Qt::LeftButton);
    EXPECT_EQ(stored(keys::kOutputFolder), "/");
    EXPECT_EQ(settings.outputFolder, "/");

    configure(false);  // the file back to the test's folder
    rip().trackView()->selectAll();
    choose(rip().encoderBox(), kFormatWav);
    tick(0);
    click("convert");
    QTest::mouseClick(control<QPushButton>("browse"), Qt::LeftButton);
    EXPECT_EQ(asked, 1) << "refused while ripping";
    click("stop");
    ASSERT_TRUE(waitForRipEnd());
}

TEST_F(GeneralPageTest, RefreshResetsTheDiscFieldsAndConvertCommitsThem) {
    configure(false);
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
    rip().trackView()->selectAll();
    choose(rip().encoderBox(), kFormatWav);
    click("convert");  // nothing ticked: the job ends at once, after the commit
    ASSERT_TRUE(waitForRipEnd());
    EXPECT_EQ(session().disc().album, "专辑");
    EXPECT_EQ(session().disc().comment, "留言");
}

}  // namespace
}  // namespace lumbra
