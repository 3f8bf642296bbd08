// Where the stills of the media list live: one JPEG per source in the thumbnail folder beside
// the executable (or in the user's cache folder, platform/DataFolders.h), named after the
// source's file name.
#pragma once

#include <QString>

// The thumbnail folder: `parent` (with its trailing separator) followed by "shotpic/".
QString ThumbnailFolder(const QString& parent);

// The still's file name: the source's file name part, extension included, plus ".jpg". Two
// sources with the same file name in different folders share one still.
QString StillFileName(const QString& sourcePath);
