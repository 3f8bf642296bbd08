#include "media/Thumbnails.h"

#include "platform/ByteNames.h"
#include "platform/Paths.h"

QString ThumbnailFolder(const QString& parent) {
    return parent + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    // The still is read back by the list through Qt's file functions: a name byte that is not
    // UTF-8 becomes U+FFFD there.
    return platform::ShownPath(platform::FileNamePart(sourcePath)) + QStringLiteral(".jpg");
}
