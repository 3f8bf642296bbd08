// The containers the engine reads, one list for every place that names them: the filter of
// Add's dialog, which files of a folder an add takes, and the MIME types the desktop entry
// claims (resources/desktop, checked against this list by a test).
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct MediaFormat {
    const char* extension;  // without the dot, lower case: "mkv"
    const char* mimeType;   // "video/x-matroska"
};

// Every container the engine reads, in the order the dialog lists them.
const std::vector<MediaFormat>& MediaFormats();

// "*.mpg;*.mpeg;..." for the dialog's filter and the folder rule.
QString MediaFilePatterns();

// The MIME types of the list, each once, in the list's order.
QStringList MediaMimeTypes();
