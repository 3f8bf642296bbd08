// The texts the media list composes for a listed file: the two stream lines shown in its row and
// the name of the file it converts to. Plain functions, so they are checked without a window.
#pragma once

#include <QString>
#include <QStringList>

#include "profiles/DeviceTable.h"
#include "engine/kivoengine.h"

// The video line, printf-exact "%s  %dx%d  fps:%5.2f\n"; it ends in a line break.
QString VideoLine(const QString& format, int width, int height, double fps);

// The audio line, printf-exact "%s  %10.2dKHZ  bitrate:%d  channels:%d": the sample rate in
// Hz, right-aligned in ten characters with at least two digits.
QString AudioLine(const QString& format, int sampleRate, int bitRate, int channels);

// The probe's audio bit rate truncated towards zero; 0 for a value that is not a number, and
// held to the 32-bit range so that a wild value from the engine cannot overflow.
int WholeBitRate(float bitRate);

// A row's InfoText from the probe record: "Video<>", the video line, "Audio<>", the audio line.
// Format names the engine left unset read as empty text.
QString ProbeInfoText(const EngineFileInfo& info);

// The extension of the family's output files. The 3GP family writes the container its output
// file type list chooses: ".3gp" for the list's second entry (3GP), ".3g2" otherwise; the other
// families write ".MP4".
QString TargetExtension(DeviceType device, int outputFileTypeIndex = 0);

// The output name of a source: its file name cut before the first "." plus the family's
// extension (TargetExtension). A name without a "." gives the extension alone.
QString TargetName(const QString& sourcePath, DeviceType device, int outputFileTypeIndex = 0);

// `wanted` made unique among `taken` the way file managers do: the name itself while no taken
// name equals it, otherwise the first free of "name (2).ext", "name (3).ext", ... Names are
// compared without regard to letter case, since players and memory cards mostly ignore it.
QString UniqueTargetName(const QString& wanted, const QStringList& taken);

// The targets of a whole list in its order: each row keeps its wanted name unless an earlier
// row already has it (UniqueTargetName against the rows before it).
QStringList UniqueTargetNames(const QStringList& wanted);
