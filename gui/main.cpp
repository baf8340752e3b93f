// lumbra-cdripper: the desktop program. Its whole run is one modal run of the main window.
#include <QApplication>
#include <QFile>
#include <cstdlib>

#include "cdaccess/cd_access.h"
#include "gui/main_window.h"
#include "gui/message_box_prompts.h"
#include "gui/start_options.h"
#include "gui/tip_dialog.h"
#include "platform/file_size_limit.h"
#include "platform/program_home.h"
#include "settings/settings_store.h"

int main(int argc, char** argv) {
    lumbra::platform::failWritesPastFileSizeLimit();
    QApplication app(argc, argv);
    QApplication::setApplicationName("lumbra-cdripper");
    QApplication::setApplicationVersion(LUMBRA_VERSION);
    // Lets a Wayland desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName("org.lumbra.cdripper");
    const auto options = lumbra::gui::parseStartOptions(app);
    if (!options) return 2;
    const auto cdAccess = lumbra::gui::cdAccessOptions(*options);
    if (!cdAccess) return 1;

    const std::string home = lumbra::platform::programHome(options->home.toStdString());
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    if (const auto notice = lumbra::settingsFileNotice(store.path())) {
        lumbra::gui::MessageBoxPrompts(nullptr).show(
            {lumbra::kCaption, *notice, lumbra::MessageIcon::Warning, lumbra::MessageButtons::Ok});
    }
    lumbra::SettingsRecord settings;
    lumbra::initCdAccess(*cdAccess);  // no drive is fine: the rip page says so
    {
        lumbra::gui::WindowOptions windowOptions;
        windowOptions.device = QFile::encodeName(options->device).toStdString();
        windowOptions.tipsAtStart =
            !options->noTips && store.read(lumbra::gui::kShowTipsAtStartup) != 0;
        lumbra::gui::MainWindow window({store, settings, home}, windowOptions);
        window.exec();
    }
    lumbra::shutdownCdAccess();
    return EXIT_SUCCESS;
}
