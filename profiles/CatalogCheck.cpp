#include "profiles/CatalogCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/DataFolders.h"
#include "platform/Errors.h"
#include "profiles/DeviceTable.h"
#include "profiles/ProfileDatabase.h"

namespace {

const QString kDatabaseName = QStringLiteral("KivoMp4.dll");

QString UserCatalogPath() {
    return platform::UserConfigFolder() + kDatabaseName;
}

}  // namespace

QString CatalogDamage(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("it cannot be read: %1").arg(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("it cannot be read: %1").arg(file.errorString());
    if (bytes.trimmed().isEmpty())
        return QStringLiteral("it is empty");
    // A catalog holds at least one family's section; garbage holds none.
    const QString text = QString::fromLatin1(bytes);
    for (int device = Dev3GP; device <= DevMP4; ++device) {
        const QRegularExpression header(
            QStringLiteral("^\\s*\\[%1\\]")
                .arg(QRegularExpression::escape(FindDevice(device)->section)),
            QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
        if (header.match(text).hasMatch())
            return QString();
    }
    return QStringLiteral("it holds no device family's profiles");
}

QString DamagedUserCatalog(QString& why) {
    if (!platform::PerUserData())
        return QString();
    const QString path = UserCatalogPath();
    if (!QFileInfo::exists(path))
        return QString();
    why = CatalogDamage(path);
    return why.isEmpty() ? QString() : path;
}

QString RestoreInstalledCatalog() {
    const QString path = UserCatalogPath();
    QString kept = path + QStringLiteral(".damaged");
    for (int number = 2; QFileInfo::exists(kept); ++number)
        kept = path + QStringLiteral(".damaged-%1").arg(number);
    if (QFileInfo::exists(path) && !QFile::rename(path, kept))
        throw QorError(QStringLiteral("%1 cannot be moved aside").arg(path));
    // Without the record of its origin the fresh copy would be taken for one the user changed.
    QFile::remove(path + QStringLiteral(".shipped"));
    if (PrepareProfileDatabase() == CatalogPlacement::Failed)
        throw QorError(QStringLiteral("the installed catalog %1 cannot be copied to %2")
                           .arg(InstalledDatabasePath(), path));
    return kept;
}

QString CatalogDamageText(const QString& path, const QString& why) {
    return QStringLiteral("The profile catalog %1 is damaged: %2.").arg(path, why);
}
