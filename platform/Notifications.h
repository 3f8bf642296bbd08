// Desktop notifications: a short note the desktop shows outside the program's windows (the end
// of a long conversion). The program sends them to the desktop's notification service over
// D-Bus; tests install a fake with SetNotifier.
#pragma once

#include <QString>
#include <functional>

namespace platform {

// The name the program is known by on the desktop: its menu entry, icon and notifications.
extern const QString DesktopId;

// A button on a note ("Open output folder") and what picking it does, on the user interface
// thread.
struct NotifyAction {
    QString label;
    std::function<void()> invoked;
};

class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows `summary` and `body`. Returns at once; nothing happens (and nothing waits) when no
    // notification service runs.
    virtual void Notify(const QString& summary, const QString& body) = 0;
    // The same with a button on the note; a notifier that offers none shows the note alone.
    virtual void Notify(const QString& summary, const QString& body, const NotifyAction& action) {
        (void)action;
        Notify(summary, body);
    }
};

// The notifier in use: the desktop's unless a test installed another.
Notifier& notifier();

// Installs `replacement` (not owned); nullptr puts the desktop's back.
void SetNotifier(Notifier* replacement);

}  // namespace platform
