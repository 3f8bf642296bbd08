#include "platform/FileSystem.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fstream>

#include "platform/ByteNames.h"

namespace platform {

namespace {

// The entry at `path` (links followed), by the name's bytes: a name that is not valid UTF-8
// is found as well.
bool StatOf(const QString& path, struct stat& info) {
    return !path.isEmpty() && ::stat(PathBytes(path).constData(), &info) == 0;
}

}  // namespace

bool DirectoryExists(const QString& path) {
    struct stat info;
    return StatOf(path, info) && S_ISDIR(info.st_mode);
}

bool FileExists(const QString& path) {
    struct stat info;
    return StatOf(path, info) && !S_ISDIR(info.st_mode);
}

bool CreateDir(const QString& path) {
    if (path.isEmpty())
        return false;
    return QDir().mkdir(path);
}

bool DeleteFile(const QString& path) {
    if (!FileExists(path))
        return false;
    return ::unlink(PathBytes(path).constData()) == 0;
}

bool CopyFile(const QString& from, const QString& to, bool overwrite) {
    if (!FileExists(from))
        return false;
    struct stat existing;
    if (::stat(PathBytes(to).constData(), &existing) == 0) {
        if (!overwrite || !DeleteFile(to))
            return false;
    }
    // By the names' bytes, so that a copy beside an output of any name is made.
    std::ifstream in(PathBytes(from).constData(), std::ios::binary);
    std::ofstream out(PathBytes(to).constData(), std::ios::binary);
    if (!in || !out)
        return false;
    if (in.peek() != std::ifstream::traits_type::eof())
        out << in.rdbuf();  // (an empty source would set the failure bit)
    out.close();
    return bool(out);
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
