#include "Clips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

#include "tests/support/WaitUntil.h"

namespace clips {
namespace {

QString Folder() {
    static QTemporaryDir dir;
    return dir.path() + "/";
}

QString Make(const QString& name, const QStringList& arguments) {
    const QString path = Folder() + name;
    if (QFileInfo::exists(path))
        return path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral(QOR_FFMPEG), QStringList{"-nostdin", "-loglevel", "error", "-y"} +
                                                 arguments + QStringList{path});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        throw std::runtime_error("ffmpeg could not make " + name.toStdString() + ": " +
                                 ffmpeg.readAllStandardError().toStdString());
    }
    return path;
}

}  // namespace

QString Video(const QString& name, double seconds, int width, int height) {
    const QString length = QString::number(seconds);
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    return Make(name, {"-f", "lavfi", "-i", "testsrc=size=" + size + ":rate=25:duration=" + length,
                       "-f", "lavfi", "-i", "sine=frequency=440:duration=" + length, "-c:v",
                       "mpeg4", "-g", "10", "-q:v", "5", "-c:a", "aac", "-shortest"});
}

QString AudioOnly(const QString& name, double seconds) {
    return Make(name, {"-f", "lavfi", "-i",
                       "sine=frequency=440:duration=" + QString::number(seconds), "-c:a", "aac"});
}

QString Unreadable() {
    const QString path = Folder() + "unreadable.avi";
    QFile file(path);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) {
        QByteArray noise;
        for (int i = 0; i < 4096; ++i)
            noise.append(char((i * 7919 + 13) % 251));
        file.write(noise);
    }
    return path;
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
    return testsupport::WaitUntil(done, ms);
}

bool Render(IMediaControl& control, IMediaEventEx& events, const QString& path) {
    const RenderState state = control.RenderFile(path);
    if (state != RenderState::Opening)
        return state == RenderState::Rendered;
    bool opened = false;
    const bool told = PumpUntil(
        [&] {
            long code = 0;
            intptr_t param1 = 0, param2 = 0;
            while (events.GetEvent(code, param1, param2, 0)) {
                events.FreeEventParams(code, param1, param2);
                if (code == EC_FILE_RENDERED) {
                    opened = param1 != 0;
                    return true;
                }
            }
            return false;
        },
        60000);
    return told && opened;
}

}  // namespace clips
