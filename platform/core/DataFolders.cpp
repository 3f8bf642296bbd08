#include "platform/core/DataFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "platform/core/Paths.h"

namespace platform {

const QString SharedInstallMarker = QStringLiteral("installed-for-all-users");

bool FolderTakesNewFiles(const QString& folder) {
    const QFileInfo info(folder);
    constexpr auto anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isDir() && info.isWritable() && (info.permissions() & anyWrite);
}

bool PerUserData() {
    // The answer is kept for the folder it was found for, so one run never switches halfway.
    static QString decidedFor;
    static bool perUser = false;
    const QString folder = ExeFolder();
    if (folder != decidedFor) {
        perUser = QFileInfo::exists(folder + SharedInstallMarker) || !FolderTakesNewFiles(folder);
        decidedFor = folder;
    }
    return perUser;
}

QString UserConfigFolder() {
    return WithTrailingSeparator(QDir::toNativeSeparators(
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)));
}

QString UserCacheFolder() {
    return WithTrailingSeparator(
        QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
}

QString CatalogFolder() {
    return PerUserData() ? UserConfigFolder() : ExeFolder();
}

QString StillsParentFolder() {
    return PerUserData() ? UserCacheFolder() : ExeFolder();
}

}  // namespace platform
