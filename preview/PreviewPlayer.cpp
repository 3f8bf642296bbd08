// The preview player of the converter window: plays the selected row's file in the Player pane
// through a media graph, shows the play position on PlayerTrack once a second and seeks where
// the user releases the track. There is no pause: Play only starts.
#include "preview/PreviewPlayer.h"

#include <utility>

#include "converter/Txconverter.h"
#include "media/package/ListImagePanel.h"
#include "platform/Dialogs.h"
#include "preview/MediaGraph.h"
#include "skin/ImagePanel.h"
#include "skin/SkinTrackBar.h"

bool PreviewPlaying = false;

namespace {

const char* const kNoGraph = "You need to install the Microsoft DirectX 9.0 or higher.";
const char* const kCannotRender =
    "Not Supported Media Format,\nYou need to install some codec.\nRenderFile(wFile)";
const char* const kNoSeeking = "Not Supported Media Seeking";
const char* const kNoCapabilities = "Could not read input file seeking capabilities";
const char* const kCannotRun = "Not Supported Media Format,\nYou need to install some codec .";

// Releases a reference, emptying the field before the object behind it may go away.
template <class Interface>
void Release(std::shared_ptr<Interface>& field) {
    std::shared_ptr<Interface> held = std::exchange(field, nullptr);
    held.reset();
}

}  // namespace

QRect FitVideoIntoPane(QSize pane, QSize video) {
    const int W = pane.width(), H = pane.height();
    const int w = video.width(), h = video.height();
    if (w <= 0 || h <= 0)
        return QRect();
    const double sx = double(W) / w;
    const double sy = double(H) / h;
    if (sx >= sy) {
        const int width = int(w * sy);
        return QRect((W - width) / 2, 0, width, H);
    }
    const int height = int(h * sx);
    return QRect(0, (H - height) / 2, W, height);
}

namespace {

// Places the picture of an opened file into the Player pane. A source without a picture reports
// no size; its sound plays on and the pane keeps showing the device picture.
void FitVideo(Txconverter& window) {
    if (!window.VideoWindow)
        return;
    int left = 0, top = 0, width = 0, height = 0;
    if (!window.VideoWindow->GetWindowPosition(left, top, width, height))
        return;
    const QRect place = FitVideoIntoPane(window.Player->rect().size(), QSize(width, height));
    if (!place.isNull())
        window.VideoWindow->SetWindowPosition(place.x(), place.y(), place.width(), place.height());
}

// The steps of a start that need the opened file: the track's range from the duration, then
// running the graph. A graph that does not run is released at once.
bool RunOpenedPreview(Txconverter& window) {
    window.MediaSeeking = window.Graph->QueryMediaSeeking();
    if (!window.MediaSeeking) {
        platform::ShowMessage(&window, kNoSeeking);
    } else {
        unsigned capabilities = 0;
        if (!window.MediaSeeking->GetCapabilities(capabilities)) {
            platform::ShowMessage(&window, kNoCapabilities);
        }
        window.MediaSeeking->SetTimeFormat(TimeFormat::MediaTime);
        ReferenceTime duration = 0;
        if (window.MediaSeeking->GetDuration(duration)) {
            window.PlayerTrack->SetHigh(int(duration / kReferenceTimePerSecond));
        }
    }

    if (!window.MediaControl->Run()) {
        platform::ShowMessage(&window, kCannotRun);
        window.MediaControl->Stop();
        window.ClosePreview();
        return false;
    }
    window.PlayerTimer->start();
    return true;
}

}  // namespace

// A file the graph opens in the background (RenderState::Opening) is started from
// HandleGraphEvents once EC_FILE_RENDERED arrives: true here then means "starting", and the
// preview counts as playing from the user's press. Whatever fails after the graph was created
// releases it at once, so no player is kept for a preview that does not play.
bool Txconverter::OpenPreview(const QString& path) {
    if (path.isEmpty())
        return false;
    // The path is handed on whole: cutting a long path to a fixed buffer would open another file.
    Graph = CreateFilterGraph();
    if (!Graph) {
        platform::ShowMessage(this, kNoGraph);
        return false;
    }

    MediaControl = Graph->QueryMediaControl();
    const RenderState rendered =
        MediaControl ? MediaControl->RenderFile(path) : RenderState::Failed;
    if (rendered == RenderState::Failed) {
        ClosePreview();
        platform::ShowMessage(this, kCannotRender);
        return false;
    }

    VideoWindow = Graph->QueryVideoWindow();
    MediaEvent = Graph->QueryMediaEvent();
    if (MediaEvent)
        MediaEvent->SetNotifyWindow(Handle(), WM_GRAPHEVENT, 0);

    if (VideoWindow) {
        VideoWindow->SetOwner(Player);
        VideoWindow->SetCaption(QStringLiteral("MyDVD"));
        VideoWindow->SetWindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
        if (rendered == RenderState::Rendered)
            FitVideo(*this);
        VideoWindow->SetMessageDrain(Player);
    }
    if (rendered == RenderState::Opening)
        return true;
    return RunOpenedPreview(*this);
}

void Txconverter::ClosePreview() {
    PlayerTimer->stop();
    if (MediaControl) {
        MediaControl->Stop();
        Release(MediaControl);
    }
    // The graph goes last: releasing it removes the video window, and the pane shows its
    // picture again.
    Release(VideoWindow);
    Release(MediaEvent);
    Release(MediaSeeking);
    Release(Graph);
    PreviewPlaying = false;
}

void Txconverter::BtnPlayPauseClick(QObject*) {
    if (ListImagePanel->ItemCount < 1 || PreviewPlaying)
        return;
    ClosePreview();
    TItemPanel* item = ListImagePanel->GetCurSel();
    const bool started = item && OpenPreview(item->SourcePath);
    DrawTrimRange(nullptr);
    if (started)
        PreviewPlaying = true;
}

void Txconverter::BtnStopClick(QObject*) {
    if (!MediaControl)
        return;
    MediaControl->Stop();
    ClosePreview();
    PreviewPlaying = false;
    PlayerTrack->SetPosition(0);
}

void Txconverter::PlayerTrackMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    // The timer would move the thumb away while the user holds it.
    if (PreviewPlaying)
        PlayerTimer->stop();
}

void Txconverter::PlayerTrackMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (!PreviewPlaying)
        return;
    ReferenceTime target = ReferenceTime(PlayerTrack->Position()) * kReferenceTimePerSecond;
    PlayerTimer->start();
    if (MediaSeeking) {
        MediaSeeking->SetPositions(&target,
                                   AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame,
                                   nullptr, AM_SEEKING_NoPositioning);
    }
}

void Txconverter::PlayerTimerTimer() {
    if (!MediaSeeking)
        return;
    ReferenceTime position = 0;
    MediaSeeking->GetCurrentPosition(position);
    PlayerTrack->SetPosition(int(position / kReferenceTimePerSecond));
}

void Txconverter::HandleGraphEvents() {
    bool ended = false;
    long code = 0;
    intptr_t param1 = 0, param2 = 0;
    // Finishing a start may release the graph, and with it the queue being drained.
    while (MediaEvent && MediaEvent->GetEvent(code, param1, param2, 0)) {
        MediaEvent->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT) {
            ended = true;
        } else if (code == EC_FILE_RENDERED && param1 == 0) {
            ClosePreview();
            platform::ShowMessage(this, kCannotRender);
        } else if (code == EC_FILE_RENDERED) {
            FitVideo(*this);
            PreviewPlaying = RunOpenedPreview(*this);
        }
    }
    if (ended) {
        ClosePreview();
        PlayerTimer->stop();
        PreviewPlaying = false;
    }
}
