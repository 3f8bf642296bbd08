// Where the stills of the media list live: one JPEG per source in the thumbnail folder beside
// the executable (or in the user's cache folder, platform/core/DataFolders.h), named after the
// source's file name. The engine writes each still as a 160 x 120 JPEG, the row loads it from
// there; the files stay when a row goes, and the window empties the folder when it closes.
#pragma once

#include <QString>

// The moment of the source the engine takes the still from, and the still's size.
constexpr int StillSeconds = 5;
constexpr char StillSize[] = "160x120";

// The thumbnail folder: `parent` (with its trailing separator) followed by "shotpic/".
QString ThumbnailFolder(const QString& parent);

// The still's file name: the source's file name part, extension included, plus ".jpg". Two
// sources with the same file name in different folders share one still.
QString StillFileName(const QString& sourcePath);
