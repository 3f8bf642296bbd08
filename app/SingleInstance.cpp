#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include "app/TChooseMain.h"
#include "converter/Txconverter.h"
#include "platform/Handler.h"

namespace {

constexpr int kConnectMs = 2000;

QString DisplayName() {
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        return QString::fromLocal8Bit(wayland);
    const QByteArray x11 = qgetenv("DISPLAY");
    return x11.isEmpty() ? QStringLiteral("none") : QString::fromLocal8Bit(x11);
}

}  // namespace

QString InstanceSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    // A display name such as ":0" or "localhost:10.0" is hashed into a plain file name.
    const QByteArray display =
        QCryptographicHash::hash(DisplayName().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QDir(folder).filePath(
        QStringLiteral("QorConverter-%1.socket").arg(QString::fromLatin1(display)));
}

QByteArray HandOverMessage(const StartRequest& request) {
    const DeviceInfo* info = FindDevice(request.device);
    QJsonObject message;
    message.insert(QStringLiteral("device"), info ? info->section : QString());
    message.insert(QStringLiteral("files"), QJsonArray::fromStringList(request.files));
    return QJsonDocument(message).toJson(QJsonDocument::Compact);
}

std::optional<StartRequest> ReadHandOver(const QByteArray& message) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(message, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject object = document.object();
    const QJsonValue files = object.value(QStringLiteral("files"));
    const QJsonValue device = object.value(QStringLiteral("device"));
    if (!files.isArray() || !device.isString())
        return std::nullopt;
    StartRequest request;
    if (!device.toString().isEmpty()) {
        request = ParseStartArguments(
            {QStringLiteral("QorConverter"), QStringLiteral("--device"), device.toString()});
        if (request.exitNow)
            return std::nullopt;
    }
    for (const QJsonValue& file : files.toArray()) {
        // Only absolute paths: a relative one would name a file of the running program's
        // working folder, not of the start that sent it.
        if (!file.isString() || !QDir::isAbsolutePath(file.toString()))
            return std::nullopt;
        request.files.append(file.toString());
    }
    return request;
}

bool HandToRunningProgram(const StartRequest& request, const QString& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    socket.write(HandOverMessage(request));
    if (!socket.waitForBytesWritten(kConnectMs))
        return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kConnectMs);
    return true;
}

InstanceListener::InstanceListener(std::function<void(const StartRequest&)> arrived,
                                   QObject* parent)
    : QObject(parent), arrived_(std::move(arrived)), server_(new QLocalServer(this)) {
    // Only this user may hand files to the program.
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            auto message = std::make_shared<QByteArray>();
            connect(socket, &QLocalSocket::readyRead, socket,
                    [socket, message] { message->append(socket->readAll()); });
            // The sender closes its end once everything is written.
            connect(socket, &QLocalSocket::disconnected, this, [this, socket, message] {
                message->append(socket->readAll());
                socket->deleteLater();
                if (const std::optional<StartRequest> request = ReadHandOver(*message))
                    platform::Guarded([this](const StartRequest& r) { arrived_(r); })(*request);
            });
        }
    });
}

bool InstanceListener::Listen(const QString& socketPath) {
    // Listening replaces a socket file of that name, so a program that answers there keeps it;
    // a file that no one answers on any more (its program ended abruptly) is taken over.
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    if (probe.waitForConnected(kConnectMs))
        return false;
    QLocalServer::removeServer(socketPath);
    return server_->listen(socketPath);
}

void ApplyHandOver(const StartRequest& request, TChooseMain& launcher, Txconverter& converter) {
    if (converter.isVisible() &&
        (request.device == DevNone || request.device == converter.CurrentDevice ||
         converter.JobRunning())) {
        converter.setWindowState(converter.windowState() & ~Qt::WindowMinimized);
        converter.raise();
        converter.activateWindow();
        if (!request.files.isEmpty())
            converter.AddMediaFiles(request.files);
        return;
    }
    if (converter.isVisible() && !converter.close())
        return;  // another family was asked for; closing keeps this family's list
    if (request.device == DevNone) {
        converter.FilesToAdd += request.files;
        launcher.ShowAgain();
        return;
    }
    ApplyStartRequest(request, launcher, converter);
}
