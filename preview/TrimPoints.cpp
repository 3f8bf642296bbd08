// The trim points: while the preview plays, the two trim buttons store the track position as the
// selected row's start or end point, and the row's marked range is drawn in blue on a grey line
// along the bar of PlayerTrack.
#include <QPainter>
#include <algorithm>
#include <utility>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "preview/PreviewPlayer.h"
#include "preview/TrimRange.h"
#include "skin/ImageButton.h"
#include "skin/SkinTrackBar.h"

namespace {

const char* const kPlayFirstStart =
    "Please play the file first, drag the slider bar and then click this bottom to set the start "
    "point";
const char* const kPlayFirstEnd =
    "Please play the file first, drag the slider bar and then click this button to set the end "
    "point";

}  // namespace

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

void Txconverter::BtnSetStartPointClick(QObject*) {
    if (!PreviewPlaying) {
        platform::ShowMessage(this, kPlayFirstStart);
        return;
    }
    DrawTrimRange(BtnSetStartPoint);
    UpdateItem(ListImagePanel->CurSelIndex, QString(), PlayerTrack->Position(), -1);
}

void Txconverter::BtnSetEndPointClick(QObject*) {
    if (!PreviewPlaying) {
        platform::ShowMessage(this, kPlayFirstEnd);
        return;
    }
    DrawTrimRange(BtnSetEndPoint);
    UpdateItem(ListImagePanel->CurSelIndex, QString(), -1, PlayerTrack->Position());
}

void Txconverter::DrawTrimRange(QObject* sender) {
    if (ListImagePanel->ItemCount < 1)
        return;
    TItemPanel* item = ListImagePanel->GetCurSel();
    if (!item)
        return;
    if (sender) {
        if (sender == BtnSetStartPoint) {
            item->MarkStart = PlayerTrack->Position();
        } else {
            item->MarkEnd = PlayerTrack->Position();
        }
        if (item->MarkEnd < item->MarkStart) {
            std::swap(item->MarkStart, item->MarkEnd);
        } else if (item->MarkEnd == item->MarkStart) {
            return;  // an empty range: the bar keeps what it shows
        }
    }
    DrawTrimLines(PlayerTrack->BarBitmap(), PlayerTrack->width(), item->MarkStart, item->MarkEnd,
                  item->Duration);
    PlayerTrack->update();
}
