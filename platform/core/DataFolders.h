// Where the program keeps what it writes: the profile database and the stills of the media list.
// Run from a folder it may write to (the build folder, a portable copy), it keeps both beside
// the executable. Installed for all users (a folder it may not write to, or one the install
// rules marked), every user gets their own: the database in the user's configuration folder
// ("~/.config/QorConverter/") and the stills in the user's cache folder.
#pragma once

#include <QString>

namespace platform {

// The file the install rules lay beside the executable of an installation for all users, so
// that even an administrator who may write there keeps the data in the home folder.
extern const QString SharedInstallMarker;

// Whether `folder` takes new files: it exists, the user may write to it, and it has some write
// permission at all (a folder without any is read-only also for the administrator).
bool FolderTakesNewFiles(const QString& folder);

// Whether the data of this run lives in the user's own folders (decided once per executable
// folder, ExeFolder()).
bool PerUserData();

// The user's configuration and cache folders of the program, with a trailing separator.
QString UserConfigFolder();
QString UserCacheFolder();

// The folder that holds the profile database the program reads and writes: ExeFolder(), or
// UserConfigFolder() for per-user data.
QString CatalogFolder();

// The folder under which the thumbnail folder lies: ExeFolder(), or UserCacheFolder() for
// per-user data.
QString StillsParentFolder();

}  // namespace platform
