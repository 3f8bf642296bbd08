// The converter window's preview and trim points: the selected row's file plays in the Player
// pane through the preview session, PlayerTrack shows the play position once a second and seeks
// where the user releases it, and the two trim buttons store the track position as the selected
// row's start or end point, its marked range drawn along the track's bar. Play turns into Pause
// while the preview plays, and a readout beside the track shows the position and the length.
#include <QString>
#include <algorithm>

#include "converter/Txconverter.h"
#include "media/core/MediaRows.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "preview/TrimRange.h"
#include "preview/core/PreviewPlayer.h"
#include "preview/core/TrimMarks.h"
#include "skin/Artwork.h"
#include "skin/ImageButton.h"
#include "skin/ImagePanel.h"
#include "skin/SkinTrackBar.h"

namespace {

const char* const kPlayFirstStart =
    "Please play the file first, drag the slider bar and then click this bottom to set the start "
    "point";
const char* const kPlayFirstEnd =
    "Please play the file first, drag the slider bar and then click this button to set the end "
    "point";

// Shows what a step of the preview session asks for: the track's range, the position timer,
// then the messages, once the graph of a failed start is gone.
void ShowPreviewStep(Txconverter& window, const PreviewStep& step) {
    if (step.trackHigh)
        window.PlayerTrack->SetHigh(*step.trackHigh);
    if (step.timer == true)
        window.PlayerTimer->start();
    else if (step.timer == false)
        window.PlayerTimer->stop();
    for (const QString& message : step.messages)
        platform::ShowMessage(&window, message);
}

// A trim button: while the track shows the selected row's file (playing, paused or played to
// its end), the track position becomes the button's end of the row's range; otherwise only the
// reminder shows.
void SetTrimPoint(Txconverter& window, TrimEnd which, const char* reminder) {
    if (!PreviewPlaying && !window.TrackShowsRow) {
        platform::ShowMessage(&window, reminder);
        return;
    }
    window.DrawTrimRange(which == TrimEnd::Start ? window.BtnSetStartPoint : window.BtnSetEndPoint);
}

}  // namespace

bool Txconverter::OpenPreview(const QString& path) {
    const PreviewPane pane{Handle(), WM_GRAPHEVENT, Player, Player->rect().size()};
    const PreviewStep step = Preview.Open(path, pane);
    ShowPreviewStep(*this, step);
    return step.started;
}

// Another row, a removed row or the window's close: the track no longer shows this file.
void Txconverter::ClosePreview() {
    PlayerTimer->stop();
    Preview.Close();
    TrackShowsRow = false;
    ShowPlayState();
}

// Play starts the selected row's file, Pause holds it, and Play again goes on from there.
void Txconverter::BtnPlayPauseClick(QObject*) {
    if (ListImagePanel->ItemCount < 1)
        return;
    if (Preview.Resume() || Preview.Pause()) {
        ShowPlayState();
        return;
    }
    if (PreviewPlaying)
        return;  // still opening: it starts by itself
    ClosePreview();
    TItemPanel* item = ListImagePanel->GetCurSel();
    if (item && OpenPreview(item->SourcePath))
        TrackShowsRow = true;
    DrawTrimRange(nullptr);
    ShowPlayState();
}

void Txconverter::BtnStopClick(QObject*) {
    if (!Preview.Stop())
        return;
    PlayerTimer->stop();
    PlayerTrack->SetPosition(0);
    TrackShowsRow = false;
    ShowPlayState();
}

void Txconverter::PlayerTrackMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    // The timer would move the thumb away while the user holds it.
    if (PreviewPlaying)
        PlayerTimer->stop();
}

void Txconverter::PlayerTrackMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (Preview.Seek(PlayerTrack->Position()))
        PlayerTimer->start();
}

void Txconverter::PlayerTimerTimer() {
    if (const std::optional<int> seconds = Preview.TrackPosition())
        PlayerTrack->SetPosition(*seconds);
    ShowPlayState();
}

void Txconverter::HandleGraphEvents() {
    ShowPreviewStep(*this, Preview.HandleEvents(Player->rect().size()));
    ShowPlayState();
}

void Txconverter::ShowPlayState() {
    const bool pauses = PreviewPlaying && !Preview.Paused();
    const QString face = pauses ? QStringLiteral("BtnPause") : QStringLiteral("BtnPlayPause");
    if (BtnPlayPause->property("face").toString() != face) {
        Artwork::Dress(BtnPlayPause, QStringLiteral("converter"), face, BtnPlayPause->size());
        BtnPlayPause->setProperty("face", face);
        BtnPlayPause->setToolTip(pauses ? QStringLiteral("Pause") : QStringLiteral("Play"));
    }
    const TItemPanel* item = ListImagePanel->ItemCount > 0 ? ListImagePanel->GetCurSel() : nullptr;
    const int length = item ? int(item->Duration) : 0;
    const int position = PreviewPlaying || TrackShowsRow ? PlayerTrack->Position() : 0;
    PlayerTime->setText(RangeClock(position) + QStringLiteral(" / ") + RangeClock(length));
}

void Txconverter::BtnSetStartPointClick(QObject*) {
    SetTrimPoint(*this, TrimEnd::Start, kPlayFirstStart);
}

void Txconverter::BtnSetEndPointClick(QObject*) {
    SetTrimPoint(*this, TrimEnd::End, kPlayFirstEnd);
}

void Txconverter::DrawTrimRange(QObject* sender) {
    if (ListImagePanel->ItemCount < 1)
        return;
    TItemPanel* item = ListImagePanel->GetCurSel();
    if (!item)
        return;
    // The row keeps one range, earlier point first: what its text shows, the track draws and the
    // job converts.
    const auto [first, last] = std::minmax(item->StartPoint, item->EndPoint);
    TrimMarks marks{first, last};
    if (sender) {
        const TrimEnd which = sender == BtnSetStartPoint ? TrimEnd::Start : TrimEnd::End;
        const TrimMarkChange change = SetTrimMark(marks, which, PlayerTrack->Position());
        marks = change.marks;
        UpdateItem(ListImagePanel->CurSelIndex, QString(), marks.start, marks.end);
        if (!change.redraw)
            return;
    }
    DrawTrimLines(PlayerTrack->BarBitmap(), PlayerTrack->width(), marks.start, marks.end,
                  item->Duration);
    PlayerTrack->update();
}
