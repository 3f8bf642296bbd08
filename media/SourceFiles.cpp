#include "media/SourceFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "media/MediaFormats.h"
#include "platform/Paths.h"

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
        if (!QFileInfo(source).isDir()) {
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
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    return paths;
}

bool CannotBeRead(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return false;
    constexpr auto anyRead =
        QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile file(path);
    return !(info.permissions() & anyRead) || !file.open(QIODevice::ReadOnly);
}

AddRefusal ProbeRefusal(const QString& path) {
    if (!QFileInfo::exists(path))
        return AddRefusal::Missing;
    return CannotBeRead(path) ? AddRefusal::Unreadable : AddRefusal::NotMedia;
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
            why = QStringLiteral("it cannot be read");
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
    name = platform::FileNamePart(name);
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
