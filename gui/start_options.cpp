#include "gui/start_options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "app/virtual_drive_options.h"

namespace lumbra::gui {

std::optional<StartOptions> parseStartOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Lumbra CD Ripper " LUMBRA_VERSION);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo("demo", "A virtual drive holding the built-in demo disc.");
    const QCommandLineOption image("image", "A virtual drive holding this CUE sheet's disc.",
                                   "FILE.cue");
    const QCommandLineOption home(
        "home",
        "The folder of setup.ini and the default folders (default: $LUMBRA_HOME, else the "
        "program's folder when it runs from its build folder, else "
        "$XDG_CONFIG_HOME/lumbra-cdripper: ~/.config/lumbra-cdripper for an installed program).",
        "DIR");
    const QCommandLineOption noTips("no-tips", "No tip of the day at start-up (automated starts).");
    const QCommandLineOption device("device", "The drive to show first, such as /dev/sr1.",
                                    "DEVICE");
    parser.addOptions({demo, image, home, noTips, device});
    parser.addPositionalArgument("cdda://srN", "The drive, as a desktop names an audio CD.");
    parser.process(app);  // prints usage and exits on --help or an unknown option
    const QStringList named = parser.positionalArguments();
    if (named.size() > 1 || (named.size() == 1 && parser.isSet(device))) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return std::nullopt;
    }
    return StartOptions{parser.isSet(demo), parser.values(image), parser.value(home),
                        parser.isSet(noTips), named.isEmpty() ? parser.value(device) : named[0]};
}

std::optional<CdAccessOptions> cdAccessOptions(const StartOptions& options) {
    std::vector<std::string> sheets;
    for (const QString& image : options.images)
        sheets.push_back(QFile::encodeName(image).toStdString());
    auto chosen = virtualDriveOptions(options.demo, sheets);
    if (const auto* problem = std::get_if<std::string>(&chosen)) {
        std::fprintf(stderr, "lumbra-cdripper: %s\n", problem->c_str());
        return std::nullopt;
    }
    return std::get<CdAccessOptions>(std::move(chosen));
}

}  // namespace lumbra::gui
