#include "gui/start_options.h"

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "platform/install_layout.h"

namespace lumbra::gui {

std::optional<StartOptions> parseStartOptions(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption demo("demo", "A virtual drive holding the built-in demo disc.");
    const QCommandLineOption image("image", "A virtual drive holding this CUE sheet's disc.",
                                   "FILE.cue");
    const QCommandLineOption home("home", "The folder of setup.ini and the default folders.",
                                  "DIR");
    const QCommandLineOption noTips("no-tips", "No tip of the day at start-up (automated starts).");
    parser.addOptions({demo, image, home, noTips});
    parser.process(app);  // prints usage and exits on --help or an unknown option
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return std::nullopt;
    }
    return StartOptions{parser.isSet(demo), parser.values(image), parser.value(home),
                        parser.isSet(noTips)};
}

std::optional<CdAccessOptions> cdAccessOptions(const StartOptions& options) {
    if (!options.demo && options.images.isEmpty()) return CdAccessOptions{};
    const std::string library = platform::modulePath("liblumbra_virtualdrive.so");
    if (access(library.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "lumbra-cdripper: the virtual drive library %s is missing\n",
                     library.c_str());
        return std::nullopt;
    }
    QStringList discs;
    if (options.demo) discs << "demo";
    discs << options.images;
    return CdAccessOptions{library, discs.join(';').toStdString()};
}

}  // namespace lumbra::gui
