// The still of each listed source: the engine writes it as a 160 x 120 JPEG into the thumbnail
// folder, the row loads it from there. The files stay when a row goes; the window empties the
// folder when it closes.
#include "media/Thumbnails.h"

#include <QDir>

#include "platform/EngineApi.h"
#include "converter/Txconverter.h"
#include "platform/DataFolders.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {
// The moment of the source the engine takes the still from, and the still's size.
constexpr int StillSeconds = 5;
constexpr char StillSize[] = "160x120";
}  // namespace

QString ThumbnailFolder(const QString& parent) {
    return parent + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    return platform::FileNamePart(sourcePath) + QStringLiteral(".jpg");
}

// Returns the still's path whether or not the engine managed to write it; the add checks that
// a file is there.
QString Txconverter::CaptureThumbnail(const QString& sourcePath) {
    const QString folder = ThumbnailFolder(platform::StillsParentFolder());
    // Beside the executable this makes one level; the user's cache folder may be new as well.
    if (!platform::DirectoryExists(folder))
        QDir().mkpath(folder);
    const QString stillPath = folder + StillFileName(sourcePath);
    Engine().GetPicure(sourcePath.toUtf8().constData(), StillSeconds, StillSize,
                       stillPath.toUtf8().constData());
    return stillPath;
}
