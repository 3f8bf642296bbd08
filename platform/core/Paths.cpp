#include "platform/core/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {
namespace {
QString g_exeFolderOverride;
}

QChar Separator() {
#ifdef _WIN32
    return QChar('\\');
#else
    return QChar('/');
#endif
}

bool EndsWithSeparator(const QString& path) {
    if (path.isEmpty())
        return false;
#ifdef _WIN32
    return path.back() == '\\' || path.back() == '/';
#else
    return path.back() == '/';
#endif
}

QString WithTrailingSeparator(const QString& path) {
    return EndsWithSeparator(path) ? path : path + Separator();
}

QString ExeFolder() {
    if (!g_exeFolderOverride.isEmpty())
        return WithTrailingSeparator(g_exeFolderOverride);
    return WithTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

void SetExeFolder(const QString& folder) {
    g_exeFolderOverride = folder;
}

QString FileNamePart(const QString& path) {
    qsizetype cut = path.lastIndexOf(Separator());
#ifdef _WIN32
    cut = std::max({cut, path.lastIndexOf('/'), path.lastIndexOf(':')});
#endif
    return path.mid(cut + 1);
}

QString DefaultOutputRoot() {
#ifdef _WIN32
    return QStringLiteral("c:\\KivoMp4\\");
#else
    return WithTrailingSeparator(QDir::homePath()) + QStringLiteral("KivoMp4/");
#endif
}

QString InitialOpenFolder() {
#ifdef _WIN32
    return QStringLiteral("c:\\");
#else
    return WithTrailingSeparator(QDir::homePath());
#endif
}

}  // namespace platform
