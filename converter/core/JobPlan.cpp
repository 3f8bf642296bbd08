#include "converter/core/JobPlan.h"

#include <sys/stat.h>

#include <algorithm>

#include "converter/core/ArgumentVector.h"
#include "converter/core/Letterbox.h"
#include "converter/core/LevelCeiling.h"
#include "platform/core/ByteNames.h"
#include "platform/core/FileSystem.h"
#include "platform/core/Paths.h"

// The output name with its last three characters replaced: clip.MP4 gives clip.THM.
static QString ThumbnailName(const QString& targetName) {
    QString name = targetName;
    name.chop(3);
    return name + QStringLiteral("THM");
}

QString JobOutputFolderOf(const QString& fieldText) {
    const QString folder = fieldText.trimmed();
    if (!platform::DirectoryExists(folder))
        platform::CreateDir(folder);
    return platform::WithTrailingSeparator(folder);
}

RowPlan PlanRow(const MediaRow& row, const OutputSettings& settings, const JobTarget& target,
                const PlanRange& range) {
    const double start = std::max(range.start, 0.0);
    const double end = range.end < 0 ? row.Duration : std::min(range.end, row.Duration);
    const bool part = start > 0 || end < row.Duration;

    std::vector<QString> values(JobValueCount);
    values[ValueDuration] = DurationText(part ? std::max(end - start, 0.0) : row.Duration);
    values[ValueSourcePath] = row.SourcePath;
    values[ValueVolume] = QString::number(settings.volume);
    values[ValueOutputPath] = target.outputFolder + row.TargetName;
    values[ValueVideoCodec] = settings.videoCodec.text.toLower();
    const QString frameSize = settings.resolution.text.toLower();
    LetterboxPads pads;
    if (settings.letterbox) {
        const FrameSize frame = ParseFrameSize(frameSize);
        // The bars keep the picture's shape as a player shows it, not its stored size.
        pads = LetterboxForPicture({row.VideoWidth, row.VideoHeight, row.SampleAspectNum,
                                    row.SampleAspectDen, row.Rotation},
                                   frame.width, frame.height);
    }
    values[ValuePadTop] = QString::number(pads.top);
    values[ValuePadBottom] = QString::number(pads.bottom);
    values[ValuePadLeft] = QString::number(pads.left);
    values[ValuePadRight] = QString::number(pads.right);
    values[ValueFrameSize] = frameSize;
    values[ValueFrameRate] = settings.frameRate.text.toLower();
    values[ValueVideoBitRate] = settings.videoBitRate.toLower();
    values[ValueAudioCodec] = QStringLiteral("aac");
    values[ValueAudioChannels] = QString::number(settings.channels.index + 1);
    const AudioRates rates =
        ApplyAudioRateRule(settings.audioBitRate.text, settings.sampleRate.text);
    values[ValueAudioBitRate] = QString::number(rates.bitRate);
    values[ValueAudioRate] = QString::number(rates.sampleRate);
    values[ValueFormat] = OutputFormat(target.device, settings.fileType.index);
    // Settings above the family's level ceiling are refused before the engine starts.
    CheckVideoCeiling(target.device, values[ValueVideoCodec], frameSize, values[ValueFrameRate],
                      values[ValueVideoBitRate]);

    RowPlan plan;
    plan.values = std::move(values);
    if (part)
        plan.start = DurationText(start);
    if (target.copyStill)
        plan.still = row.PicturePath;
    plan.thumbnailPath = target.outputFolder + ThumbnailName(row.TargetName);
    return plan;
}

PlanRange MarkedRange(const MediaRow& row) {
    const auto [first, last] = std::minmax(row.StartPoint, row.EndPoint);
    if (last <= first)
        return {};
    return {double(first), last >= int(row.Duration) ? -1.0 : double(last)};
}

std::vector<QString> RowPlan::Entries() const {
    std::vector<QString> entries = ArgumentEntries(values, start);
    if (!overwrite)
        entries.erase(entries.begin() + 1);  // the "-y" after the program name
    return entries;
}

void CopyStillBesideOutput(const RowPlan& plan) {
    if (plan.still.isEmpty() || !platform::FileExists(plan.still))
        return;
    // Only beside an output: a conversion stopped before it wrote anything keeps none.
    if (!platform::FileExists(plan.values.at(ValueOutputPath)))
        return;
    if (platform::FileExists(plan.thumbnailPath))
        platform::DeleteFile(plan.thumbnailPath);
    platform::CopyFile(plan.still, plan.thumbnailPath, true);
}

TargetProblem CheckTarget(const QString& source, const QString& output, bool overwrite) {
    struct stat target;
    if (::stat(platform::PathBytes(output).constData(), &target) != 0)
        return TargetProblem::None;  // nothing there (a dangling link stays the engine's matter)
    struct stat read;
    if (::stat(platform::PathBytes(source).constData(), &read) == 0 &&
        read.st_dev == target.st_dev && read.st_ino == target.st_ino)
        return TargetProblem::IsSource;
    return overwrite ? TargetProblem::None : TargetProblem::Exists;
}
