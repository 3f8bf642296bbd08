// The job plan: what one row of the media list and the settings shown when the row starts give
// the engine. The seventeen values of the argument vector (the letterbox, the audio rate rule,
// the family's output format and level ceiling applied), and, for a family that keeps one,
// where the row's still is copied beside the output. No widgets: the job runner reads the row
// and the settings panel into values and hands them here.
#pragma once

#include <QString>
#include <vector>

#include "media/core/MediaRow.h"
#include "profiles/core/DeviceTable.h"
#include "profiles/core/OutputSettings.h"

// What the job's family and output folder give every row.
struct JobTarget {
    DeviceType device = DevNone;
    bool copyStill = false;  // the still goes beside the output as a THM file
    QString outputFolder;    // ends in a separator, as JobOutputFolderOf gives it
};

// The part of a row to convert, in seconds of the source: from `start` to `end` (a negative end:
// to the end of the file). The default converts the whole file.
struct PlanRange {
    double start = 0;
    double end = -1;
};

// The row's range (its points in whole seconds, earlier first) as a plan range: the whole file
// when the later point lies at the file's last whole second or later, or when the points
// enclose nothing.
PlanRange MarkedRange(const MediaRow& row);

struct RowPlan {
    std::vector<QString> values;  // the seventeen values, in JobValue order
    QString start;                // "-ss"'s value when only a part converts; empty: the whole
    QString still;                // the row's still to copy beside the output; empty: none
    QString thumbnailPath;        // where that copy goes
    // "-y": the window's job replaces an existing output; the command line only when asked.
    // Without it the engine never replaces a file, not even one that appears while it converts.
    bool overwrite = true;

    // The engine's argument vector: 36 entries, 38 with a start, one fewer without overwrite.
    std::vector<QString> Entries() const;
};

// The job's output folder from the output folder field's text: blanks around it removed, the
// folder created when missing (one level; a failure is ignored), a trailing separator added.
// An empty text gives the root folder.
QString JobOutputFolderOf(const QString& fieldText);

// The plan of `row` converted with `settings` for `target`. Raises EConvertError for a frame
// size (letterbox on), an audio quality or an audio rate that does not begin with a number,
// EDivByZero for an audio rate of 0, and QorError when the video settings are above the
// family's level ceiling; in that order, before anything is started.
// A `range` narrower than the file (a start after 0 or an end before the row's duration) gives
// a start and the range's length as the duration; a range covering the file gives the whole
// file's plan exactly.
RowPlan PlanRow(const MediaRow& row, const OutputSettings& settings, const JobTarget& target,
                const PlanRange& range = {});

// What stands in the way of writing a row's output at `output`.
enum class TargetProblem {
    None,
    IsSource,  // the output is the source itself: the same file (device and inode), also
               // through a link, another spelling or, on a folder that ignores letter case,
               // another case; never written, with or without overwrite
    Exists,    // without overwrite: an entry of that name exists
};

// Checks `output` against `source` by the names' bytes (platform/ByteNames.h).
TargetProblem CheckTarget(const QString& source, const QString& output, bool overwrite);

// Copies the plan's still beside the output, replacing an older copy. A plan without a still,
// a missing still, a missing output and a failed copy do nothing.
void CopyStillBesideOutput(const RowPlan& plan);
