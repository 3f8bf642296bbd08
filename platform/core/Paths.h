// Paths as the program composes them. On Windows they keep "\"; elsewhere "/" is used
// throughout (trailing separators, device sub-folders, "shotpic/").
#pragma once

#include <QString>

namespace platform {

QChar Separator();

// The folder of the running executable with a trailing separator.
QString ExeFolder();

// Points ExeFolder at another folder (tests use temporary folders); empty restores it.
void SetExeFolder(const QString& folder);

// `path` with a trailing separator appended unless it already ends in one.
QString WithTrailingSeparator(const QString& path);

// Whether `path` ends in a separator.
bool EndsWithSeparator(const QString& path);

// The file-name part of a path: everything after the last separator (or drive colon).
QString FileNamePart(const QString& path);

// "c:\KivoMp4\" on Windows; the user's home folder followed by "/KivoMp4/" elsewhere.
QString DefaultOutputRoot();

// The folder the open-file dialog starts in: "c:\" on Windows, the home folder elsewhere.
QString InitialOpenFolder();

}  // namespace platform
