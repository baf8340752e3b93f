// Tells the desktop how a rip ended, through the freedesktop notification service on the session
// bus, with an action "打开文件夹" that opens the tracks' folder. Without a bus or a notification
// service nothing is shown; the call is asynchronous, so a slow service never holds the window.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>

#include "app/disc_session.h"

namespace lumbra::gui {

class RipNotification : public QObject {
    Q_OBJECT
public:
    using FolderOpener = std::function<void(const QString& folder)>;

    // `openFolder` runs when the user picks the action; by default the desktop opens the folder.
    explicit RipNotification(QObject* parent, QDBusConnection bus = QDBusConnection::sessionBus(),
                             FolderOpener openFolder = {});

    void ripEnded(const FinishedRip& rip);

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action);

private:
    QDBusConnection bus_;
    FolderOpener openFolder_;
    uint shownId_ = 0;  // the service's number for the last notification shown
    QString folder_;    // the folder of the rip it told of
};

}  // namespace lumbra::gui
