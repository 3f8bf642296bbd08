// The profile database "KivoMp4.dll" beside the executable: an INI-style text file read and
// written one key at a time, under the private-profile rules of the desktop it came from.
// Every operation opens the file anew, so an edit made while the program runs counts at the
// next lookup.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The full path of the database the program reads and writes: ExeFolder() + "KivoMp4.dll", or
// for per-user data (platform/core/DataFolders.h) the user's copy in the configuration folder,
// made from the installed database when it is missing. Should no copy be possible, the
// installed database is read (and writes to it fail).
QString ProfileDatabasePath();

// The database installed beside the executable: ExeFolder() + "KivoMp4.dll".
QString InstalledDatabasePath();

// What placing the installed database as the user's copy did.
enum class CatalogPlacement {
    Copied,    // there was no copy: it was made
    Replaced,  // the copy was still the installed database it came from, now a newer one
    Kept,      // the copy was changed by the program (custom profiles, the output root) or
               // matches the installed database already
    Failed,    // no copy exists and none could be made
};

// Places `installed` at `copy` without ever losing what the program wrote into the copy.
// `stamp` records the installed database the copy was made from: a copy that still equals
// it is replaced by a newer installed database, a copy that differs from it is kept.
CatalogPlacement PlaceCatalogCopy(const QString& installed, const QString& copy,
                                  const QString& stamp);

// At start-up, for per-user data: makes or renews the user's copy of the database.
CatalogPlacement PrepareProfileDatabase();

// The stored value, or `def` when the file, the section or the key does not exist, or the
// stored value is empty or exactly "0". Never fails.
QString ReadProfileValue(const QString& section, const QString& key, const QString& def);

// Sets one key; raises EWriteError ("Unable to write to %s" with the full path) when the file
// cannot be written, leaving it byte for byte unchanged.
void WriteProfileValue(const QString& section, const QString& key, const QString& value);

// The same rules on any INI file (the version file of the about box uses them too).
QString ReadIniValue(const QString& path, const QString& section, const QString& key,
                     const QString& def);
void WriteIniValue(const QString& path, const QString& section, const QString& key,
                   const QString& value);

// One section of a database as it stood when it was read, for loading a family's lists with one
// reading of the file instead of one per item. Its lookups follow ReadProfileValue's rules.
class ProfileSection {
public:
    // The stored value, or `def` when the key is absent or its value empty or exactly "0".
    QString Value(const QString& key, const QString& def) const;

private:
    friend ProfileSection ReadIniSection(const QString& path, const QString& section);
    QHash<QString, QString> values_;  // by case-folded key, first occurrence only
};

// Reads one section of the database, or of any INI file; an unreadable file or a missing
// section gives an empty section.
ProfileSection ReadProfileSection(const QString& section);
ProfileSection ReadIniSection(const QString& path, const QString& section);

// Splits a parameter value into its fields (comma text: blanks and commas separate fields,
// double quotes protect them).
QStringList SplitCommaText(const QString& value);
