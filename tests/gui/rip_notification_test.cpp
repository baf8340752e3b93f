// The desktop notification at a rip's end, against a notification service of the test's own on a
// private session bus: what it says, its "打开文件夹" action, and silence without a service.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QTest>

#include "gui/rip_notification.h"

namespace lumbra {
namespace {

const QString kPath = "/org/freedesktop/Notifications";
const QString kInterface = "org.freedesktop.Notifications";

// A bus daemon of the test's own, so no notification reaches the desktop running the tests.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--print-address"});
        if (daemon_.waitForReadyRead(10000)) address_ = QString(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QDBusConnection connect(const QString& name) {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess daemon_;
    QString address_;
    QStringList names_;
};

// Answers Notify with a number and keeps the calls' arguments.
class NotificationService : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.interface() != kInterface || message.member() != "Notify") return false;
        calls.push_back(message.arguments());
        bus.send(message.createReply(QVariant::fromValue(uint(calls.size() + 6))));
        return true;
    }
    std::vector<QList<QVariant>> calls;
};

void invokeAction(QDBusConnection& bus, uint id, const QString& action) {
    QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, "ActionInvoked");
    signal << id << action;
    bus.send(signal);
}

TEST(RipNotification, SaysHowTheRipEndedAndItsActionOpensTheFolder) {
    PrivateBus bus;
    QDBusConnection serviceBus = bus.connect("service");
    ASSERT_TRUE(serviceBus.isConnected());
    NotificationService service;
    ASSERT_TRUE(serviceBus.registerVirtualObject(kPath, &service));
    ASSERT_TRUE(serviceBus.registerService(kInterface));
    QStringList opened;
    gui::RipNotification notification(nullptr, bus.connect("program"),
                                      [&](const QString& folder) { opened << folder; });

    notification.ripEnded({{3, 0, 0}, "/music/专辑"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 1; }, 5000));
    const QList<QVariant>& call = service.calls[0];
    ASSERT_EQ(call.size(), 8);
    EXPECT_EQ(call[0].toString(), "Lumbra CD Ripper");
    EXPECT_EQ(call[3].toString(), "抓取完成");
    EXPECT_EQ(call[4].toString(), "完成：3 个音轨已写入 /music/专辑");
    EXPECT_EQ(call[5].toStringList(), (QStringList{"open-folder", "打开文件夹"}));
    QTest::qWait(100);  // the reply with the notification's number

    invokeAction(serviceBus, 99, "open-folder");  // another program's notification
    invokeAction(serviceBus, 7, "open-folder");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened.isEmpty(); }, 5000));
    EXPECT_EQ(opened, QStringList{"/music/专辑"});

    notification.ripEnded({{0, 0, 2}, "/music"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.calls.size() == 2; }, 5000));
    EXPECT_EQ(service.calls[1][3].toString(), "抓取已停止");
    EXPECT_TRUE(service.calls[1][5].toStringList().isEmpty()) << "nothing written, no folder";
}

TEST(RipNotification, WithoutAServiceOrABusNothingHappens) {
    PrivateBus bus;
    gui::RipNotification withoutService(nullptr, bus.connect("lonely"),
                                        [](const QString&) { ADD_FAILURE(); });
    withoutService.ripEnded({{1, 0, 0}, "/music"});
    gui::RipNotification withoutBus(nullptr, QDBusConnection(QString()));
    withoutBus.ripEnded({{1, 0, 0}, "/music"});
    QTest::qWait(200);
}

}  // namespace
}  // namespace lumbra
