// The drawing of a row's trim range on the bar of the position track.
#pragma once

#include <QImage>

// The pixel column of `mark` seconds on a track `trackWidth` pixels wide for a row of
// `duration` seconds (duration above 0): mark / duration x (width - 3) + 1, truncated.
int TrimRangeX(int mark, double duration, int trackWidth);

// Draws the grey line along the whole track and, for a row with a duration, the blue range
// from `markStart` to `markEnd` over it, on the top two rows of `bar`.
void DrawTrimLines(QImage& bar, int trackWidth, int markStart, int markEnd, double duration);
