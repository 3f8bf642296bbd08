// The list kept across closing: each family's rows with their marks are saved when the window
// closes and listed again the next time it opens for that family. A source that has gone since
// is left out and named once.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct MediaRow;

// What is kept of a row: the source and the user's marks; everything else comes from a new
// probe of the source.
struct SavedRow {
    QString sourcePath;
    int startPoint = 0;
    int endPoint = 0;

    bool operator==(const SavedRow&) const = default;
};

SavedRow SavedRowOf(const MediaRow& row);

// The saved file's text, and back. A damaged or foreign text reads as an empty list; a row
// without a source path is passed over.
QByteArray SavedListText(const std::vector<SavedRow>& rows);
std::vector<SavedRow> ReadSavedList(const QByteArray& text);

// The saved rows split into those whose source is still there (in order) and the paths of those
// that have gone.
struct KeptRows {
    std::vector<SavedRow> present;
    QStringList vanished;
};
KeptRows SplitVanished(const std::vector<SavedRow>& rows,
                       const std::function<bool(const QString&)>& exists);

// The one message naming the sources that have gone since the list was saved.
QString VanishedMessage(const QStringList& vanished);

// The file that keeps the list of the family whose catalog section is `section`, in `folder`
// (the folder of the user's profile database).
QString SavedListPath(const QString& folder, const QString& section);
