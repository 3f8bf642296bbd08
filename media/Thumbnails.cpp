#include "media/Thumbnails.h"

#include <QCryptographicHash>

#include "platform/ByteNames.h"
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
    // The still is read back by the list through Qt's file functions: a name byte that is not
    // UTF-8 shows as U+FFFD there; the hash of the path's own bytes tells namesakes apart.
    QString name = platform::ShownPath(platform::FileNamePart(sourcePath));
    while (name.toUtf8().size() > kMaxNameBytes) {
        name.chop(1);
        if (!name.isEmpty() && name.back().isHighSurrogate())
            name.chop(1);  // never half a character
    }
    const QByteArray hash =
        QCryptographicHash::hash(platform::PathBytes(sourcePath), QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    return name + QChar('-') + QString::fromLatin1(hash) + QStringLiteral(".jpg");
}
