#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QVariantMap>
#include <map>

#include "platform/Handler.h"

namespace platform {

const QString DesktopId = QStringLiteral("com.qorconverter.QorConverter");

namespace {

// Whether a session bus is there to be reached. Without one, connecting could start a bus of
// its own (autolaunch), which a headless run must never do.
bool SessionBusReachable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kActionKey = QStringLiteral("qor-action");

// The notes that carry a button, by the id the service gave them, until the user picks the
// button or the note closes.
class ActionListener : public QObject {
    Q_OBJECT
public:
    std::map<uint, std::function<void()>> pending;
    bool connected = false;

public slots:
    void ActionInvoked(uint id, const QString& key) {
        const auto found = pending.find(id);
        if (found == pending.end() || key != kActionKey)
            return;
        const std::function<void()> invoked = found->second;
        pending.erase(found);
        if (invoked)
            Guarded(invoked)();
    }
    void NotificationClosed(uint id, uint) { pending.erase(id); }
};

// org.freedesktop.Notifications on the session bus. A note without a button is sent without
// waiting for its answer; when no service owns the name, the bus answers with an error nobody
// reads. A note with a button waits for its id in the background, and the service's
// ActionInvoked signal then runs the button's action.
class DesktopNotifier final : public Notifier {
public:
    void Notify(const QString& summary, const QString& body) override {
        Notify(summary, body, NotifyAction{});
    }

    void Notify(const QString& summary, const QString& body, const NotifyAction& action) override {
        if (!SessionBusReachable())
            return;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
        const QStringList actions =
            action.label.isEmpty() ? QStringList() : QStringList{kActionKey, action.label};
        call << QStringLiteral("Qor Converter") << 0u << DesktopId << summary << body << actions
             << QVariantMap() << -1;
        if (actions.isEmpty()) {
            bus.send(call);
            return;
        }
        if (!listener_.connected) {
            bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), &listener_,
                        SLOT(ActionInvoked(uint, QString)));
            bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"),
                        &listener_, SLOT(NotificationClosed(uint, uint)));
            listener_.connected = true;
        }
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), &listener_);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &listener_,
                         [this, invoked = action.invoked](QDBusPendingCallWatcher* answered) {
                             const QDBusPendingReply<uint> reply = *answered;
                             if (!reply.isError())
                                 listener_.pending[reply.value()] = invoked;
                             answered->deleteLater();
                         });
    }

private:
    ActionListener listener_;
};

DesktopNotifier g_desktop;
Notifier* g_current = &g_desktop;

}  // namespace

Notifier& notifier() {
    return *g_current;
}

void SetNotifier(Notifier* replacement) {
    g_current = replacement ? replacement : &g_desktop;
}

}  // namespace platform

#include "Notifications.moc"
