#include "platform/core/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

bool DirectoryExists(const QString& path) {
    if (path.isEmpty())
        return false;
    return QFileInfo(path).isDir();
}

bool FileExists(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool CreateDir(const QString& path) {
    if (path.isEmpty())
        return false;
    return QDir().mkdir(path);
}

bool DeleteFile(const QString& path) {
    if (!FileExists(path))
        return false;
    return QFile::remove(path);
}

bool CopyFile(const QString& from, const QString& to, bool overwrite) {
    if (!FileExists(from))
        return false;
    if (QFileInfo::exists(to)) {
        if (!overwrite || !QFile::remove(to))
            return false;
    }
    return QFile::copy(from, to);
}

std::vector<DirEntry> ListFolder(const QString& folder) {
    std::vector<DirEntry> entries;
    QDir dir(folder);
    if (!dir.exists())
        return entries;
    const QFileInfoList infos = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoSymLinks | QDir::Dirs, QDir::Name);
    for (const QFileInfo& info : infos)
        entries.push_back({info.fileName(), info.isDir()});
    return entries;
}

}  // namespace platform
