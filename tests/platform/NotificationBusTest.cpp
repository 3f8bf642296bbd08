// The desktop's notifier on a real session bus of the test's own (dbus-run-session with a bus
// that activates no service): a note reaches a notification service with the program's name
// and icon, and without a service nothing happens and nothing waits.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QVariantMap>

#include "platform/Notifications.h"
#include "support/Wait.h"

namespace {

// Stands in for the desktop's notification service.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;  // "app|icon|summary|body|timeout"
    QStringList actions;   // of the last note

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout) {
        received << QStringList{app, icon, summary, body, QString::number(timeout)}.join('|');
        this->actions = actions;
        return uint(received.size());
    }
};

}  // namespace

TEST(NotificationBus, ANoteReachesTheServiceAndNoServiceMeansNothingHappens) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        << "runs under dbus-run-session with a bus of its own";
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());

    // No service yet: the note goes nowhere (the bus's error answer arrives while the next
    // note is awaited) and the caller goes on at once.
    platform::notifier().Notify("Conversion finished", "nobody listens");

    QDBusConnection serviceBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "svc");
    NotificationService service;
    ASSERT_TRUE(serviceBus.registerObject("/org/freedesktop/Notifications", &service,
                                          QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serviceBus.registerService("org.freedesktop.Notifications"));

    platform::notifier().Notify("Conversion finished", "3 files converted into ~/KivoMp4/PSP");
    WaitUntil([&] { return !service.received.isEmpty(); });
    ASSERT_EQ(service.received.size(), 1);
    EXPECT_EQ(service.received[0],
              "Qor Converter|com.qorconverter.QorConverter|Conversion finished|"
              "3 files converted into ~/KivoMp4/PSP|-1");

    // A note with a button: the service gets it under a key of the program's, and the
    // service's ActionInvoked for that note (not for another) runs the action.
    int invoked = 0;
    platform::notifier().Notify("Conversion finished", "1 file converted",
                                {"Open output folder", [&] { ++invoked; }});
    WaitUntil([&] { return service.received.size() == 2; });
    ASSERT_EQ(service.actions.size(), 2);
    EXPECT_EQ(service.actions[1], "Open output folder");
    for (uint id : {1u, 2u}) {
        QDBusMessage signal = QDBusMessage::createSignal(
            "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
        signal << id << service.actions[0];
        serviceBus.send(signal);
    }
    WaitUntil([&] { return invoked > 0; }, 5000);
    QCoreApplication::processEvents();
    EXPECT_EQ(invoked, 1);
    serviceBus.unregisterService("org.freedesktop.Notifications");
    QDBusConnection::disconnectFromBus("svc");
}

#include "NotificationBusTest.moc"
