#include "media/core/MediaRows.h"

#include <algorithm>
#include <limits>

#include "media/core/MediaText.h"
#include "platform/core/Paths.h"

namespace {

QString TwoDigits(qint64 value) {
    return (value < 10 ? QStringLiteral("0") : QString()) + QString::number(value);
}

qint64 WholeSeconds(double duration) {
    if (!(duration > -9.0e18 && duration < 9.0e18))
        return 0;  // not a number, or unbounded
    return qint64(duration);
}

// The whole seconds of a length as a point on the track, held to the points' range.
int WholePoint(double duration) {
    return int(std::clamp<qint64>(WholeSeconds(duration), 0, std::numeric_limits<int>::max()));
}

}  // namespace

MediaRow ProbedRow(const QString& sourcePath, const QString& picturePath,
                   const EngineFileInfo& info, const KivoProbe& shown) {
    MediaRow row;
    row.SourcePath = sourcePath;
    row.PicturePath = picturePath;
    row.Duration = shown.durationSeconds > 0 ? shown.durationSeconds : double(info.duration);
    row.FrameRate = info.fps;
    row.AudioSampleRate = info.sampleRate;
    row.VideoStreams = 1;
    row.VideoHeight = info.height;
    row.VideoWidth = info.width;
    const bool known = shown.displayWidth > 0 && shown.displayHeight > 0;
    row.DisplayWidth = known ? shown.displayWidth : info.width;
    row.DisplayHeight = known ? shown.displayHeight : info.height;
    if (known && shown.sampleAspectNum > 0 && shown.sampleAspectDen > 0) {
        row.SampleAspectNum = shown.sampleAspectNum;
        row.SampleAspectDen = shown.sampleAspectDen;
    }
    row.Rotation = known ? shown.rotation : 0;
    row.InfoText = ProbeInfoText(info, row.DisplayWidth, row.DisplayHeight);
    row.StartPoint = 0;
    row.EndPoint = WholePoint(row.Duration);
    return row;
}

QString TargetName(const QString& sourcePath, const QString& extension) {
    const QString name = platform::FileNamePart(sourcePath);
    const qsizetype dot = name.lastIndexOf('.');
    return (dot < 0 ? QString() : name.left(dot)) + extension;
}

QString UniqueTargetName(const QString& wanted, const QStringList& taken) {
    if (!taken.contains(wanted, Qt::CaseInsensitive))
        return wanted;
    // The number goes before the extension, the part from the last ".".
    const qsizetype dot = wanted.lastIndexOf('.');
    const QString stem = dot < 0 ? wanted : wanted.left(dot);
    const QString extension = dot < 0 ? QString() : wanted.mid(dot);
    for (int n = 2;; ++n) {
        const QString number = QStringLiteral("(%1)").arg(n);
        const QString candidate =
            (stem.isEmpty() ? number : stem + QChar(' ') + number) + extension;
        if (!taken.contains(candidate, Qt::CaseInsensitive))
            return candidate;
    }
}

QStringList UniqueTargetNames(const QStringList& wanted) {
    QStringList names;
    names.reserve(wanted.size());
    for (const QString& name : wanted)
        names << UniqueTargetName(name, names);
    return names;
}

QString TargetForNewRow(const QString& sourcePath, const QString& extension,
                        const QList<const MediaRow*>& listed) {
    QStringList taken;
    for (const MediaRow* row : listed)
        taken << row->TargetName;
    return UniqueTargetName(TargetName(sourcePath, extension), taken);
}

QStringList TargetsForRows(const QList<const MediaRow*>& rows, const QString& extension) {
    QStringList wanted;
    for (const MediaRow* row : rows)
        wanted << TargetName(row->SourcePath, extension);
    return UniqueTargetNames(wanted);
}

QString RangeClock(int seconds) {
    const qint64 s = std::max(seconds, 0);
    return TwoDigits(s / 60) + ':' + TwoDigits(s % 60);
}

QString RangeText(const MediaRow& row) {
    const auto [first, last] = std::minmax(row.StartPoint, row.EndPoint);
    return QStringLiteral("Start Point:") + RangeClock(first) + QStringLiteral("  End Point:") +
           RangeClock(last);
}

QString RowText(const MediaRow& row) {
    const qint64 s = WholeSeconds(row.Duration);
    QString text = QStringLiteral("FileName:") + row.SourcePath + QStringLiteral("      ") +
                   TwoDigits(s / 3600) + ':' + TwoDigits(s % 3600 / 60) + ':' + TwoDigits(s % 60) +
                   QStringLiteral(" \n") + row.InfoText + QStringLiteral("\nTarget: ") +
                   row.TargetName + QStringLiteral(" ;") + RangeText(row);
    if (!row.OutcomeMark.isEmpty())
        text += '\n' + row.OutcomeMark;
    return text;
}

void UpdateRow(MediaRow& row, const QString& targetName, int start, int end) {
    if (!targetName.isEmpty())
        row.TargetName = targetName;
    if (start != -1)
        row.StartPoint = start;
    if (end != -1)
        row.EndPoint = end;
}
