// The stream lines the media list composes for a listed file from the engine's probe, shown in
// its row. Plain functions, so they are checked without a window.
#pragma once

#include <QString>

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

// The same with the picture's size given apart: the size a player shows it at, where the
// record holds the size as stored.
QString ProbeInfoText(const EngineFileInfo& info, int width, int height);
