#include "platform/Notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QVariantMap>

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

// org.freedesktop.Notifications on the session bus. The call is sent without waiting for its
// answer; when no service owns the name, the bus answers with an error nobody reads.
class DesktopNotifier final : public Notifier {
public:
    void Notify(const QString& summary, const QString& body) override {
        if (!SessionBusReachable())
            return;
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected())
            return;
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
        call << QStringLiteral("Qor Converter") << 0u << DesktopId << summary << body
             << QStringList() << QVariantMap() << -1;
        bus.send(call);
    }
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
