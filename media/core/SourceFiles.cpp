#include "media/core/SourceFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <cstring>

#include "media/core/MediaFormats.h"
#include "platform/core/ByteNames.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"

QList<platform::FileFilter> MediaFileFilters() {
    // The description names the patterns as the dialog's filter line shows them.
    const QString patterns = MediaFilePatterns();
    return {
        {QStringLiteral("Media Files (%1)").arg(patterns), patterns},
        {QStringLiteral("All Files(*.*)"), QStringLiteral("*.*")},
    };
}

namespace {

QStringList MediaPatterns() {
    return MediaFileFilters().first().patterns.split(';');
}

}  // namespace

bool IsMediaFileName(const QString& name) {
    static const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> list;
        for (const QString& pattern : MediaPatterns()) {
            list.append(QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                           QRegularExpression::CaseInsensitiveOption));
        }
        return list;
    }();
    for (const QRegularExpression& pattern : patterns) {
        if (pattern.match(name).hasMatch())
            return true;
    }
    return false;
}

QStringList MediaFilesInFolder(const QString& folder) {
    const QDir dir(folder);
    QStringList files;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        if (IsMediaFileName(entry.fileName()))
            files.append(QDir::toNativeSeparators(entry.absoluteFilePath()));
    }
    return files;
}

QStringList ExpandSources(const QStringList& sources, QList<RefusedFile>& refused) {
    QStringList paths;
    for (const QString& source : sources) {
        if (!platform::DirectoryExists(source)) {
            paths.append(source);
            continue;
        }
        const QStringList inside = MediaFilesInFolder(source);
        if (inside.isEmpty())
            refused.append({source, AddRefusal::NoMediaInFolder, QString()});
        paths += inside;
    }
    return paths;
}

QStringList LocalPaths(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            continue;
        // The URL's percent-encoded bytes are the file's name, whatever their encoding.
        const QByteArray bytes =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        paths.append(QDir::toNativeSeparators(platform::PathFromBytes(bytes)));
    }
    return paths;
}

AddRefusal SourceRefusal(const QString& path, int* systemError) {
    int code = 0;
    const AddRefusal why = [&] {
        const QByteArray bytes = platform::PathBytes(path);
        struct stat info;
        if (path.isEmpty() || ::stat(bytes.constData(), &info) != 0) {
            code = path.isEmpty() ? ENOENT : errno;
            return code == ENOENT ? AddRefusal::Missing : AddRefusal::Unreadable;
        }
        if (!S_ISREG(info.st_mode))
            return AddRefusal::NotAFile;
        if (!(info.st_mode & (S_IRUSR | S_IRGRP | S_IROTH))) {
            code = EACCES;
            return AddRefusal::Unreadable;
        }
        // Not blocking: the file may have become a pipe since it was looked at.
        const int fd = ::open(bytes.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            code = errno;
            return AddRefusal::Unreadable;
        }
        ::close(fd);
        return AddRefusal::None;
    }();
    if (systemError)
        *systemError = code;
    return why;
}

bool CannotBeRead(const QString& path) {
    return SourceRefusal(path) == AddRefusal::Unreadable;
}

AddRefusal ProbeRefusal(const QString& path, int* systemError) {
    const AddRefusal why = SourceRefusal(path, systemError);
    return why == AddRefusal::None ? AddRefusal::NotMedia : why;
}

QString RefusalReason(const RefusedFile& refused) {
    QString why;
    switch (refused.why) {
        case AddRefusal::None:
            break;
        case AddRefusal::AlreadyListed:
            why = QStringLiteral("it is already in the list");
            break;
        case AddRefusal::Missing:
            why = QStringLiteral("it does not exist");
            break;
        case AddRefusal::Unreadable:
            why = refused.systemError != 0
                      ? QStringLiteral("it cannot be read: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(refused.systemError)))
                      : QStringLiteral("it cannot be read");
            break;
        case AddRefusal::NotAFile:
            why = QStringLiteral("it is not a regular file but a folder, a pipe or a device");
            break;
        case AddRefusal::NotMedia:
            why = QStringLiteral("it is not a media file this program can read");
            break;
        case AddRefusal::NoStillFolder:
            why =
                QStringLiteral("its still picture cannot be saved in %1").arg(refused.stillsFolder);
            break;
        case AddRefusal::NoStill:
            why = QStringLiteral("no still picture can be taken from it");
            break;
        case AddRefusal::NoMediaInFolder:
            why = QStringLiteral("it is a folder without media files");
            break;
    }
    return why;
}

QString RefusalLine(const RefusedFile& refused) {
    if (refused.why == AddRefusal::None)
        return QString();
    const QString why = RefusalReason(refused);
    QString name = refused.path;
    while (platform::EndsWithSeparator(name) && name.size() > 1)
        name.chop(1);
    name = platform::ShownPath(platform::FileNamePart(name));
    return QStringLiteral("%1 cannot be added: %2").arg(name.isEmpty() ? refused.path : name, why);
}

QString RefusalMessage(const QList<RefusedFile>& refused, int sources) {
    if (sources == 1 && refused.size() == 1 && refused.first().why == AddRefusal::AlreadyListed)
        return QStringLiteral("Select media file already add in.");
    // A drop of a whole folder of odd files must still give a box that fits on the screen.
    constexpr int kMaxLines = 15;
    QStringList lines;
    for (const RefusedFile& file : refused) {
        if (lines.size() == kMaxLines) {
            lines.append(QStringLiteral("and %1 more files cannot be added")
                             .arg(refused.size() - kMaxLines));
            break;
        }
        lines.append(RefusalLine(file));
    }
    return lines.join('\n');
}
