// Where the stills of the media list live: one JPEG per source in the thumbnail folder beside
// the executable (or in the user's cache folder, platform/core/DataFolders.h), named after the
// source's path. The engine writes each still as a 160 x 120 JPEG, the row loads it from
// there; the files stay when a row goes, and the window empties the folder when it closes.
#pragma once

#include <QString>

// The moment of the source the engine takes the still from, and the still's size.
constexpr int StillSeconds = 5;
constexpr char StillSize[] = "160x120";

// The thumbnail folder: `parent` (with its trailing separator) followed by "shotpic/".
QString ThumbnailFolder(const QString& parent);

// The still's file name: the source's file name part, extension included, then "-" and 16 hex
// digits of a hash of the whole path, then ".jpg" ("party.avi-3f09c1d2a47be815.jpg"). Sources
// of the same name in different folders (every camera calls its clips alike) therefore get a
// still each, and every row and every THM copy shows its own source. A very long name is
// shortened so that the still's name stays within what file systems allow.
QString StillFileName(const QString& sourcePath);
