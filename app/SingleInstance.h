// One program per user and display. The first start listens on a local socket in the user's
// runtime folder; a later start on the same display connects to it, hands over its family and
// files, and ends. The running program then raises its window and lists the files.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "app/StartArguments.h"

class QLocalServer;

// The socket's path: the user's runtime folder and the display's name, so that two displays of
// one user (or two users) each run their own program.
QString InstanceSocketPath();

// A start request as it travels on the socket, and back. A message that is not one gives none.
QByteArray HandOverMessage(const StartRequest& request);
std::optional<StartRequest> ReadHandOver(const QByteArray& message);

// A later start: hands `request` to the program listening at `socketPath`; false when none
// listens there (this start is then the first).
bool HandToRunningProgram(const StartRequest& request, const QString& socketPath);

// The first start's end of the socket: every hand-over that arrives is given to `arrived` on
// the thread that made the listener.
class InstanceListener : public QObject {
    Q_OBJECT
public:
    explicit InstanceListener(std::function<void(const StartRequest&)> arrived,
                              QObject* parent = nullptr);
    // Listens at `socketPath`, taking over a socket file that no program answers on any more.
    bool Listen(const QString& socketPath);

private:
    std::function<void(const StartRequest&)> arrived_;
    QLocalServer* server_;
};

// What the running program does with a hand-over: a family opens its converter window with the
// files (the window already open for that family lists them at once); without one the files go
// to the open converter window, or wait in the raised launcher for a family to be picked.
void ApplyHandOver(const StartRequest& request, TChooseMain& launcher, Txconverter& converter);
