#include "preview/TrimRange.h"

#include <QPainter>
#include <algorithm>
#include <utility>

int TrimRangeX(int mark, double duration, int trackWidth) {
    const double x = mark / duration * (trackWidth - 3) + 1;
    // A mark far past the row's duration is drawn to just beyond the track's end.
    return int(std::clamp(x, -1.0, double(trackWidth) + 1));
}

void DrawTrimLines(QImage& bar, int trackWidth, int markStart, int markEnd, double duration) {
    if (bar.isNull())
        return;
    QPainter painter(&bar);
    // Lines two pixels thick on rows 0 and 1, from the first to the last pixel inclusive.
    const auto line = [&painter](int x1, int x2, const QColor& colour) {
        if (x2 < x1)
            std::swap(x1, x2);
        painter.fillRect(QRect(QPoint(x1, 0), QPoint(x2, 1)), colour);
    };
    line(1, trackWidth - 1, QColor(128, 128, 128));
    if (duration > 0) {
        line(TrimRangeX(markStart, duration, trackWidth), TrimRangeX(markEnd, duration, trackWidth),
             QColor(0, 0, 255));
    }
}
