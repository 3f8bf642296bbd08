// The file-system calls of the windows. Like the desktop calls they stand in for, they report
// success as a bool that most callers do not examine.
#pragma once

#include <QString>
#include <vector>

namespace platform {

bool DirectoryExists(const QString& path);
bool FileExists(const QString& path);  // an existing entry that is not a folder

// Creates one level: the parent must exist already.
bool CreateDir(const QString& path);

bool DeleteFile(const QString& path);

// Copies `from` to `to`; with `overwrite` an existing target is replaced.
bool CopyFile(const QString& from, const QString& to, bool overwrite);

struct DirEntry {
    QString name;
    bool isFolder = false;
};

// Every entry of a folder, "." and ".." included, as a folder listing on the desktop gives
// them; empty when the folder cannot be read.
std::vector<DirEntry> ListFolder(const QString& folder);

}  // namespace platform
