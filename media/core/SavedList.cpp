#include "media/core/SavedList.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "media/core/MediaRow.h"
#include "platform/core/Paths.h"

namespace {

const QString kRows = QStringLiteral("rows");
const QString kSource = QStringLiteral("source");
const QString kStart = QStringLiteral("start");
const QString kEnd = QStringLiteral("end");

// A saved number that is no whole second counts as 0, so that a hand-edited file cannot give
// a row a wild mark.
int Seconds(const QJsonObject& object, const QString& key) {
    const double value = object.value(key).toDouble(0);
    return value >= 0 && value <= 24.0 * 3600 * 366 ? int(value) : 0;
}

}  // namespace

SavedRow SavedRowOf(const MediaRow& row) {
    return {row.SourcePath, row.StartPoint, row.EndPoint};
}

QByteArray SavedListText(const std::vector<SavedRow>& rows) {
    QJsonArray list;
    for (const SavedRow& row : rows) {
        list.append(QJsonObject{{kSource, row.sourcePath},
                                {kStart, row.startPoint},
                                {kEnd, row.endPoint}});
    }
    return QJsonDocument(QJsonObject{{kRows, list}}).toJson(QJsonDocument::Indented);
}

std::vector<SavedRow> ReadSavedList(const QByteArray& text) {
    const QJsonDocument document = QJsonDocument::fromJson(text);
    std::vector<SavedRow> rows;
    for (const QJsonValue& value : document.object().value(kRows).toArray()) {
        const QJsonObject object = value.toObject();
        const QString source = object.value(kSource).toString();
        if (source.isEmpty())
            continue;
        rows.push_back({source, Seconds(object, kStart), Seconds(object, kEnd)});
    }
    return rows;
}

KeptRows SplitVanished(const std::vector<SavedRow>& rows,
                       const std::function<bool(const QString&)>& exists) {
    KeptRows kept;
    for (const SavedRow& row : rows) {
        if (exists(row.sourcePath))
            kept.present.push_back(row);
        else
            kept.vanished.append(row.sourcePath);
    }
    return kept;
}

QString VanishedMessage(const QStringList& vanished) {
    if (vanished.isEmpty())
        return QString();
    const QString head = vanished.size() == 1
                             ? QStringLiteral(
                                   "This file has gone since the list was kept and "
                                   "was taken off the list:")
                             : QStringLiteral(
                                   "These files have gone since the list was kept and "
                                   "were taken off the list:");
    // Like the add's refusals: a list of many gone files still fits on the screen.
    constexpr int kMaxLines = 15;
    QStringList lines{head};
    for (int i = 0; i < vanished.size(); ++i) {
        if (i == kMaxLines) {
            lines.append(QStringLiteral("and %1 more").arg(vanished.size() - kMaxLines));
            break;
        }
        lines.append(vanished[i]);
    }
    return lines.join('\n');
}

QString SavedListPath(const QString& folder, const QString& section) {
    return platform::WithTrailingSeparator(folder) + QStringLiteral("List-%1.json").arg(section);
}
