// The still of each listed source: the engine writes it as a 160 x 120 JPEG into the thumbnail
// folder, the row loads it from there. The files stay when a row goes; the window empties the
// folder when it closes.
#include "media/Thumbnails.h"

#include "converter/EngineApi.h"
#include "converter/Txconverter.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace {
// The moment of the source the engine takes the still from, and the still's size.
constexpr int StillSeconds = 5;
constexpr char StillSize[] = "160x120";
}  // namespace

QString ThumbnailFolder(const QString& exeFolder) {
    return exeFolder + QStringLiteral("shotpic") + platform::Separator();
}

QString StillFileName(const QString& sourcePath) {
    return platform::FileNamePart(sourcePath) + QStringLiteral(".jpg");
}

// Returns the still's path whether or not the engine managed to write it; the add checks that
// a file is there.
QString Txconverter::CaptureThumbnail(const QString& sourcePath) {
    const QString folder = ThumbnailFolder(platform::ExeFolder());
    if (!platform::DirectoryExists(folder))
        platform::CreateDir(folder);
    const QString stillPath = folder + StillFileName(sourcePath);
    Engine().GetPicure(sourcePath.toUtf8().constData(), StillSeconds, StillSize,
                       stillPath.toUtf8().constData());
    return stillPath;
}
