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
    if (path.empty()) {
        prompts_.show({kCaption, kHelpMissingMessage, MessageIcon::Warning, MessageButtons::Ok});
    } else if (!opener(url)) {
        showInHelpWindow(url);
    }
}

void HelpLinks::showInHelpWindow(const QUrl& url) {
    if (!helpWindow_) {
        helpWindow_ = new QTextBrowser(parent_);
        helpWindow_->setObjectName("helpWindow");
        helpWindow_->setWindowFlags(Qt::Window);
        helpWindow_->setWindowTitle("Lumbra CD Ripper 帮助");
        helpWindow_->setAttribute(Qt::WA_DeleteOnClose);
        helpWindow_->setOpenExternalLinks(true);
        const QFontMetrics metrics(helpWindow_->font());
        helpWindow_->resize(metrics.averageCharWidth() * 100, metrics.height() * 40);
    }
    helpWindow_->setSource(url);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

}  // namespace lumbra::gui
