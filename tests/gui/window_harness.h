// The main window over real CD access: virtual drives holding the demo disc or written CUE
// images, a loopback CDDB server, a program home of its own and scripted answers to messages.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <memory>

#include "gui/main_window.h"
#include "gui/rip_page.h"
#include "gui/track_list_model.h"
#include "settings/settings_store.h"
#include "support/cddb_test_server.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/recording_audio_output.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra::test {

class WindowHarness : public IsolatedCdAccess {
protected:
    TempDir home;
    SettingsStore store{settingsPath(home.path())};
    SettingsRecord settings;
    RecordingPrompts prompts;
    RecordedAudio audio;  // what the player played
    CddbTestServer server;
    bool accurateRip = false;  // on: the rips ask the database's port
    int accurateRipPort = 1;   // where nothing listens, unless a test serves it
    std::string musicBrainz = "MB_ENABLE=0\nCAA_ENABLE=0";  // the MUSICBRAINZ section's lines
    std::unique_ptr<gui::MainWindow> window;

    void TearDown() override {
        window.reset();
        IsolatedCdAccess::TearDown();
    }

    // setup.ini naming the loopback server, a local database and an output folder in the home.
    void configure(bool automaticLookup, const std::string& more = "") {
        home.write("setup.ini",
                   "[CDDB]\nCDDB_COUNT=1\nCDDB_SERVER0=127.0.0.1\nCDDB_PORT0=" +
                       std::to_string(server.port()) +
                       "\nCDDB_QUERY0=/~cddb/cddb.cgi\nCDDB_USE_LOCALCDDB=1\nCDDB_AUTO=" +
                       (automaticLookup ? "1" : "0") +
                       "\nCDDB_LOCALCDDB_PATH=" + home.file("Local CDDB") +
                       "\n[ACCURATERIP]\nAR_ENABLE=" + (accurateRip ? "1" : "0") +
                       "\nAR_SERVER=127.0.0.1\nAR_PORT=" + std::to_string(accurateRipPort) +
                       "\n[MUSICBRAINZ]\n" + musicBrainz +
                       "\n[OUTPUT]\nOUTPUT_FOLDER=" + outputFolder() + "\n" + more);
    }

    std::string outputFolder() const { return home.file("out"); }

    std::string startDevice;   // the drive named at start-up, for open()
    bool tipsAtStart = false;  // for open()

    // Starts the window over virtual drives holding `discs`, with the setup.ini the test wrote or
    // else the one configure(false) writes.
    void open(const std::string& discs, const std::string& faults = "") {
        if (!std::filesystem::exists(home.file("setup.ini"))) configure(false);
        startVirtualDrives(discs, faults);
        CddbTimeouts quick{std::chrono::milliseconds(2000), std::chrono::milliseconds(2000),
                           std::chrono::milliseconds(5000), std::chrono::milliseconds(10000)};
        window = std::make_unique<gui::MainWindow>(
            gui::PageContext{store, settings, home.path()},
            gui::WindowOptions{&prompts, quick, recordingOutputs(audio), startDevice, tipsAtStart,
                               false});
        window->show();
    }

    // A disc of `tracks` tracks of `seconds` each, as a CUE image in the home.
    std::string image(const std::string& name, int tracks, int seconds) {
        return writeCueImage(home.path(), name, std::vector<int>(size_t(tracks), seconds * 75))
            .cuePath;
    }

    gui::RipPage& rip() const { return window->ripPage(); }
    DiscSession& session() const { return window->session(); }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    QString cell(int row, int column) const {
        return rip().model().index(row, column).data().toString();
    }
    QString status() const { return rip().statusLine()->text(); }
    int rows() const { return rip().model().rowCount(); }

    void tick(int row, bool on = true) const {
        rip().model().setData(rip().model().index(row, 0), on ? Qt::Checked : Qt::Unchecked,
                              Qt::CheckStateRole);
    }
    void selectOnly(std::initializer_list<int> rowsToSelect) const {
        auto* selection = rip().trackView()->selectionModel();
        selection->clearSelection();
        for (int row : rowsToSelect) {
            selection->select(rip().model().index(row, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    // Every row selected and given WAV, so that rips are quick and their files easy to check.
    void allWav() const {
        rip().trackView()->selectAll();
        choose(rip().encoderBox(), kFormatWav);
    }
    // A WAV rip of the ticked rows, started with the button.
    void ripWav(std::initializer_list<int> ticked) const {
        allWav();
        for (int row : ticked) tick(row);
        click("convert");
    }
    template <typename T>
    static T* in(QWidget* parent, const char* name) {
        return parent->findChild<T*>(name);
    }
    static void clickIn(QWidget* parent, const char* name) {
        QTest::mouseClick(in<QAbstractButton>(parent, name), Qt::LeftButton);
    }
    // The user picks an item of a combo box.
    static void choose(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }

    bool waitFor(const std::function<bool()>& condition, int ms = 20000) const {
        return QTest::qWaitFor(condition, ms);
    }
    bool waitForRipEnd() const {
        return waitFor([this] { return !session().ripping(); });
    }
};

}  // namespace lumbra::test
