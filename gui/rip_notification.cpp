#include "gui/rip_notification.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QUrl>
#include <QVariantMap>

#include "app/rip_summary.h"

namespace lumbra::gui {
namespace {

const QString kService = "org.freedesktop.Notifications";
const QString kPath = "/org/freedesktop/Notifications";
const QString kInterface = "org.freedesktop.Notifications";
const QString kOpenFolder = "open-folder";
constexpr int kServerDefaultTimeout = -1;

void openWithDesktop(const QString& folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

}  // namespace

RipNotification::RipNotification(QObject* parent, QDBusConnection bus, FolderOpener openFolder)
    : QObject(parent), bus_(std::move(bus)), openFolder_(std::move(openFolder)) {
    if (!openFolder_) openFolder_ = openWithDesktop;
    if (bus_.isConnected()) {
        bus_.connect(kService, kPath, kInterface, "ActionInvoked", this,
                     SLOT(actionInvoked(uint, QString)));
    }
}

void RipNotification::ripEnded(const FinishedRip& rip) {
    if (!bus_.isConnected()) return;
    folder_ = QString::fromStdString(rip.folder.empty() ? "." : rip.folder);
    QStringList actions;
    if (rip.summary.written > 0) actions << kOpenFolder << "打开文件夹";
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString("Lumbra CD Ripper") << uint(0) << QString("lumbra-cdripper")
         << QString(rip.summary.stopped > 0 ? "抓取已停止" : "抓取完成")
         << QString::fromStdString(ripSummaryText(rip.summary, rip.folder)) << actions
         << QVariantMap{{"desktop-entry", "org.lumbra.cdripper"}} << kServerDefaultTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError()) shownId_ = reply.value();
        w->deleteLater();
    });
}

void RipNotification::actionInvoked(uint id, const QString& action) {
    if (id != 0 && id == shownId_ && action == kOpenFolder) openFolder_(folder_);
}

}  // namespace lumbra::gui
