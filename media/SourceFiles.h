// Which files an add takes and how a file that cannot be added is reported. Add's dialog, a drop
// from a file manager and the command line all hand their paths to the same add; these plain
// rules are checked without a window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include "platform/Dialogs.h"

// Why a file was not added to the list.
enum class AddRefusal {
    None,             // it was added
    AlreadyListed,    // the same path (letter case counts) is listed
    Missing,          // no file of that path
    Unreadable,       // the file cannot be opened for reading
    NotMedia,         // the engine cannot read it as media
    NoStillFolder,    // the thumbnail folder cannot be written
    NoStill,          // the engine took no still picture from it
    NoMediaInFolder,  // a folder without media files directly inside
    NotAFile,         // a folder, a named pipe or a device: only regular files convert
};

struct RefusedFile {
    QString path;
    AddRefusal why = AddRefusal::None;
    QString stillsFolder;  // for NoStillFolder: the folder that cannot be written
    int systemError = 0;   // for Unreadable: the operating system's reason, when known
};

// The filters of Add's dialog: the media files, then all files.
QList<platform::FileFilter> MediaFileFilters();

// Whether a file name matches a pattern of the media files' filter (letter case does not count).
bool IsMediaFileName(const QString& name);

// The media files directly inside `folder` (sub-folders are not entered), as full paths in name
// order.
QStringList MediaFilesInFolder(const QString& folder);

// The paths an add takes from a list of dropped or given sources: a file as it is, a folder as
// the media files directly inside it. A folder without any is refused.
QStringList ExpandSources(const QStringList& sources, QList<RefusedFile>& refused);

// The local files among dropped URLs, in their order.
QStringList LocalPaths(const QList<QUrl>& urls);

// Why `path` cannot be a source before the engine looks at it: Missing, NotAFile (a folder, a
// named pipe, a device; a link counts as what it points to) or Unreadable, with the errno in
// `systemError` when given; None when it can be probed. Never waits: a pipe is not opened, and
// the name's bytes are used as they are (platform/ByteNames.h). A file without any read
// permission counts as unreadable also for the administrator, who could open it anyway.
AddRefusal SourceRefusal(const QString& path, int* systemError = nullptr);

// Whether an existing regular file cannot be opened for reading.
bool CannotBeRead(const QString& path);

// Why the engine could not probe `path`: SourceRefusal's answer, or NotMedia.
AddRefusal ProbeRefusal(const QString& path, int* systemError = nullptr);

// Why a file was refused, as a clause: "it is not a media file this program can read"; empty
// for a file that was added.
QString RefusalReason(const RefusedFile& refused);

// "broken.avi cannot be added: it is not a media file this program can read".
QString RefusalLine(const RefusedFile& refused);

// The one message for the files an add of `sources` paths refused: one line per file. A single
// path that is already listed keeps the list's own notice "Select media file already add in.".
QString RefusalMessage(const QList<RefusedFile>& refused, int sources);
