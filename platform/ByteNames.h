// File names are bytes. Linux allows any bytes but "/" and NUL in a name, and an old disk or
// archive brings names in Latin-1 that are not valid UTF-8; Qt's own conversion turns their odd
// bytes into U+FFFD, after which the file can no longer be found. These two conversions keep
// every byte: each byte that is not part of valid UTF-8 becomes one lone low surrogate
// (U+DC80..U+DCFF, which valid UTF-8 never gives), and goes back to the same byte.
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The name for `bytes` as the program keeps it; valid UTF-8 reads as usual.
QString PathFromBytes(const QByteArray& bytes);

// The file system's bytes for a name made by PathFromBytes (or any ordinary text).
QByteArray PathBytes(const QString& path);

// `path` for showing, and for names derived from it that Qt's file functions handle: each
// byte kept by PathFromBytes shows as U+FFFD.
QString ShownPath(const QString& path);

}  // namespace platform
