// lumbra-cdripper: the desktop program. Its whole run is one modal run of the main window.
#include <QApplication>
#include <cstdlib>

#include "app/settings_store.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/drive_discovery.h"
#include "gui/main_window.h"
#include "gui/start_options.h"
#include "platform/program_home.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("lumbra-cdripper");
    QApplication::setWindowIcon(QIcon(":/icons/lumbra-cdripper.svg"));
    const auto options = lumbra::gui::parseStartOptions(app);
    if (!options) return 2;
    if (!lumbra::gui::applyStartOptions(*options)) return 1;

    const std::string home = lumbra::platform::programHome();
    const lumbra::SettingsStore store(lumbra::settingsPath(home));
    lumbra::SettingsRecord settings;
    std::vector<lumbra::DriveEntry> drives;
    lumbra::buildDriveList(drives);  // an empty list is fine: the rip page says so
    {
        lumbra::gui::MainWindow window({store, settings, home}, std::move(drives));
        window.exec();
    }
    lumbra::shutdownCdAccess();
    return EXIT_SUCCESS;
}
