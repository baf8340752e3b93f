#include "gui/help_links.h"

#include <QDesktopServices>
#include <QFileInfo>

#include "platform/install_layout.h"

namespace lumbra::gui {

std::string HelpLinks::helpFilePath() const {
    for (const std::string& folder : {programHome_, platform::installLayout().dataFolder}) {
        const std::string path = folder + "/" + kHelpFileName;
        if (QFileInfo(QString::fromStdString(path)).isFile()) return path;
    }
    return {};
}

void HelpLinks::open(const std::string& section) {
    const std::string path = helpFilePath();
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (!section.empty()) url.setFragment(QString::fromStdString(section));
    const auto opener =
        openUrl ? openUrl : [](const QUrl& u) { return QDesktopServices::openUrl(u); };
    if (!path.empty() && opener(url)) return;
    prompts_.show({kCaption, kHelpMissingMessage, MessageIcon::Warning, MessageButtons::Ok});
}

}  // namespace lumbra::gui
