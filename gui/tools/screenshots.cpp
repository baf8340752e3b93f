// Renders the main window, each of its pages, the track settings dialog (once per format), the
// rip page while the player plays and the tip of the day to PNG files, so that a reviewer can see
// the program without a screen:
// lumbra-cdripper-screenshots OUTPUT_FOLDER [--demo] [--image F.cue]...
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>
#include <string>

#include "cdaccess/cd_access.h"
#include "gui/main_window.h"
#include "gui/rip_page.h"
#include "gui/start_options.h"
#include "gui/tip_dialog.h"
#include "gui/track_settings_dialog.h"
#include "platform/program_home.h"
#include "rip/output_formats.h"
#include "settings/settings_store.h"

namespace {

constexpr const char* kPageFiles[] = {"page-rip.png", "page-general.png", "page-audio.png",
                                      "page-cddb.png", "page-about.png"};

bool save(QWidget& widget, const QDir& folder, const char* name) {
    const QString path = folder.filePath(name);
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The track settings dialog as the rip page's command opens it, once with each format's pane.
bool saveTrackDialog(lumbra::gui::MainWindow& window, const QDir& folder) {
    if (window.session().prepareTrackSettings() == lumbra::CommandResult::Refused) return false;
    lumbra::gui::TrackSettingsDialog dialog(window.session(), &window);
    dialog.show();
    QComboBox& format = *dialog.findChild<QComboBox*>("format");
    bool saved = true;
    for (const lumbra::OutputFormatEntry& entry : lumbra::outputFormats()) {
        format.setCurrentIndex(entry.id);
        Q_EMIT format.activated(entry.id);
        QApplication::processEvents();
        const std::string name = "track-dialog-" + std::string(entry.extension + 1) + ".png";
        saved &= save(dialog, folder, name.c_str());
    }
    return saved;
}

// A sound device that takes nothing, so the player plays without one.
class SilentOutput : public lumbra::AudioOutput {
public:
    bool start(lumbra::SampleSource&) override { return true; }
    void suspend() override {}
    void stop() override {}
};

// The rip page twelve seconds into the first track, which lasts longer on the demo disc.
bool savePlaying(lumbra::gui::MainWindow& window, const QDir& folder) {
    lumbra::CdPlayer& player = window.ripPage().player();
    player.play(0);
    for (int second = 0; second < 12; ++second) player.onPlayerTimer();
    if (!player.deviceOpen()) return false;
    QApplication::processEvents();
    const bool saved = save(window.ripPage(), folder, "page-rip-playing.png");
    player.stop();
    return saved;
}

bool saveTips(const lumbra::SettingsStore& store, QWidget& window, const QDir& folder) {
    lumbra::gui::TipDialog tips(store, &window);
    tips.show();
    QApplication::processEvents();
    return save(tips, folder, "tip-of-the-day.png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fputs("usage: lumbra-cdripper-screenshots OUTPUT_FOLDER [--demo] [--image F.cue]...\n",
                   stderr);
        return 2;
    }
    const QDir folder(arguments.takeAt(1));
    QDir().mkpath(folder.path());
    lumbra::gui::StartOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == "--demo") options.demo = true;
        if (arguments[i] == "--image" && i + 1 < arguments.size()) options.images << arguments[++i];
    }
    const auto cdAccess = lumbra::gui::cdAccessOptions(options);
    if (!cdAccess) return 1;
    QDir().mkpath(folder.filePath("home"));
    const std::string home = lumbra::platform::programHome(folder.filePath("home").toStdString());
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    // A first start, except that no lookup goes out to the network.
    store.write(lumbra::keys::kCddbAuto, 0);
    lumbra::SettingsRecord settings;
    lumbra::initCdAccess(*cdAccess);
    bool saved = true;
    {
        lumbra::gui::WindowOptions windowOptions;
        windowOptions.audioOutputs = [] { return std::make_unique<SilentOutput>(); };
        lumbra::gui::MainWindow window({store, settings, home}, windowOptions);
        window.show();
        QTabWidget& tabs = *window.tabs();
        for (int page = 0; page < tabs.count(); ++page) {
            tabs.setCurrentIndex(page);
            QApplication::processEvents();
            saved &= save(*tabs.currentWidget(), folder, kPageFiles[page]);
            if (page == 0) saved &= save(window, folder, "main-window.png");
        }
        tabs.setCurrentIndex(0);
        saved &= saveTrackDialog(window, folder);
        saved &= savePlaying(window, folder);
        saved &= saveTips(store, window, folder);
    }
    lumbra::shutdownCdAccess();
    return saved ? 0 : 1;
}
