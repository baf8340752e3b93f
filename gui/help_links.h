// Where the help buttons, the home-page button and the about page's links lead. The project has
// no web site yet, so each address is a section of the help file bundled with the program.
#pragma once

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

// Opens a section of the help file (empty: its start) in the desktop's browser. Without the file,
// or when the desktop cannot open it, shows "未找到指定的文件。".
class HelpLinks {
public:
    HelpLinks(Prompts& prompts, std::string programHome)
        : prompts_(prompts), programHome_(std::move(programHome)) {}

    void open(const std::string& section = {});

    // The help file: the program home's, else the one the program ships with; empty when
    // neither exists.
    std::string helpFilePath() const;

    // The desktop's opener; tests replace it.
    std::function<bool(const QUrl&)> openUrl;

private:
    Prompts& prompts_;
    const std::string programHome_;
};

}  // namespace lumbra::gui
