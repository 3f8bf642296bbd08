#include "media/Thumbnails.h"

#include <QCryptographicHash>

#include "platform/Paths.h"

namespace {

// The readable part of a still's name at most, in UTF-8 bytes: with the hash and ".jpg" the
// name stays well under the 255 bytes most file systems allow.
constexpr qsizetype kMaxNameBytes = 200;

}  // namespace

QString ThumbnailFolder(const QString& parent) {
    return parent + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    QString name = platform::FileNamePart(sourcePath);
    while (name.toUtf8().size() > kMaxNameBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);  // never half a character
    }
    const QByteArray hash =
        QCryptographicHash::hash(sourcePath.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return name + QChar('-') + QString::fromLatin1(hash) + QStringLiteral(".jpg");
}
