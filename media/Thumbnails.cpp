#include "media/Thumbnails.h"

#include "platform/Paths.h"

QString ThumbnailFolder(const QString& parent) {
    return parent + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    return platform::FileNamePart(sourcePath) + QStringLiteral(".jpg");
}
