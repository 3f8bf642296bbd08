#include "media/core/Thumbnails.h"

#include "platform/core/Paths.h"

QString ThumbnailFolder(const QString& parent) {
    return parent + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    return platform::FileNamePart(sourcePath) + QStringLiteral(".jpg");
}
