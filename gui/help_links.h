// Where the help buttons, the home-page button and the about page's links lead. The project has
// no web site yet, so each address is a section of the help file bundled with the program.
#pragma once

#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <functional>
#include <string>

#include "platform/prompts.h"

namespace lumbra::gui {

inline constexpr const char* kHelpFileName = "help.html";
inline constexpr const char* kHomePageSection = "home";
inline constexpr const char* kSupportSection = "support";
inline constexpr const char* kUpdatesSection = "updates";
inline constexpr const char* kHelpMissingMessage = "未找到指定的文件。";

// Opens a section of the help file (empty: its start) in the desktop's browser, or in a help
// window of the program's own when the desktop cannot (no browser set up). Without the file,
// shows "未找到指定的文件。".
class HelpLinks {
public:
    // The help window belongs to `parent`.
    HelpLinks(Prompts& prompts, std::string programHome, QWidget* parent)
        : prompts_(prompts), programHome_(std::move(programHome)), parent_(parent) {}

    void open(const std::string& section = {});

    // The help file: the program home's, else the one the program ships with; empty when
    // neither exists.
    std::string helpFilePath() const;

    // The desktop's opener; tests replace it.
    std::function<bool(const QUrl&)> openUrl;

    // The program's own help window, once it was needed.
    QTextBrowser* helpWindow() const { return helpWindow_; }

private:
    void showInHelpWindow(const QUrl& url);

    Prompts& prompts_;
    const std::string programHome_;
    QWidget* parent_;
    QPointer<QTextBrowser> helpWindow_;
};

}  // namespace lumbra::gui
