// The rules of the media list's rows, apart from the widgets that show them: the row an add makes
// from the engine's probe, the target each row converts to, the text a row shows and what a trim
// button's update does to a row. Plain functions on MediaRow values, checked without a window.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "engine/kivoengine.h"
#include "media/core/MediaRow.h"

// The row an add makes for `sourcePath` from the probe record and from what a player shows of
// the source (`shown`, the engine's kivo_probe): its stream facts, the exact length, the
// picture as shown and an InfoText that gives that picture's size; the whole file as the part
// to convert (StartPoint 0, EndPoint the length's whole seconds) and as the drawn range.
// Where `shown` knows nothing (a failed kivo_probe) the record's whole seconds and stored size
// stand in. `picturePath` is the still the list loaded; the target is named apart
// (TargetForNewRow), as it depends on the rows already listed.
MediaRow ProbedRow(const QString& sourcePath, const QString& picturePath,
                   const EngineFileInfo& info, const KivoProbe& shown);

// The output name of a source: its file name cut before the last "." (so the dots of
// "Show.S01E01.720p.mp4" stay) plus the family's `extension` (".MP4", ".3g2", ...). A name
// without a "." gives the extension alone.
QString TargetName(const QString& sourcePath, const QString& extension);

// `wanted` made unique among `taken` the way file managers do: the name itself while no taken
// name equals it, otherwise the first free of "name (2).ext", "name (3).ext", ... Names are
// compared without regard to letter case, since players and memory cards mostly ignore it.
QString UniqueTargetName(const QString& wanted, const QStringList& taken);

// The targets of a whole list in its order: each row keeps its wanted name unless an earlier
// row already has it (UniqueTargetName against the rows before it).
QStringList UniqueTargetNames(const QStringList& wanted);

// The target of a row about to be listed for `sourcePath`: its TargetName, unique among the
// targets of the `listed` rows, so that no conversion of a job overwrites another's output.
QString TargetForNewRow(const QString& sourcePath, const QString& extension,
                        const QList<const MediaRow*>& listed);

// Every row's target named anew for `extension`, in list order (UniqueTargetNames).
QStringList TargetsForRows(const QList<const MediaRow*>& rows, const QString& extension);

// A point of a row's range as its text shows it: minutes and seconds, "01:05"; minutes are not
// cut to two digits ("62:05"), a negative point reads as 00:00.
QString RangeClock(int seconds);

// The range a row converts as its text shows it, earlier point first: "Start Point:00:30  End
// Point:00:40" for points set as 40 and 30.
QString RangeText(const MediaRow& row);

// The row's text: "FileName:<path>      hh:mm:ss \n<InfoText>\nTarget: <target> ;" and the
// range text, with the outcome mark of its last conversion as a fifth line when there is one.
// Hours are not cut to two digits; the text is built whole, so a long path or long stream lines
// are carried in full.
QString RowText(const MediaRow& row);

// A trim button's or a caller's update of a row: an empty target name or -1 for a point keeps
// the row's value. No order or range check is made; a start after the end is stored as given.
void UpdateRow(MediaRow& row, const QString& targetName, int start, int end);
