#include "preview/core/PreviewSession.h"

#include <QRect>
#include <utility>

#include "preview/core/PreviewPlayer.h"

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

// A start that failed: the graph is already released, the message is the one to show.
PreviewStep Failed(const char* message) {
    PreviewStep step;
    step.messages.push_back(QString::fromLatin1(message));
    step.timer = false;
    return step;
}

}  // namespace

int TrackSeconds(ReferenceTime time) {
    return int(time / kReferenceTimePerSecond);
}

ReferenceTime TrackTime(int seconds) {
    return ReferenceTime(seconds) * kReferenceTimePerSecond;
}

PreviewSession::PreviewSession(bool& playing, GraphFactory factory)
    : playing_(playing), factory_(std::move(factory)) {}

bool PreviewSession::Playing() const {
    return playing_;
}

bool PreviewSession::Pause() {
    if (!playing_ || paused_ || opening_ || !MediaControl)
        return false;
    MediaControl->Pause();
    paused_ = true;
    return true;
}

bool PreviewSession::Resume() {
    if (!paused_ || !MediaControl)
        return false;
    MediaControl->Run();
    paused_ = false;
    return true;
}

bool PreviewSession::Paused() const {
    return paused_;
}

PreviewStep PreviewSession::Open(const QString& path, const PreviewPane& pane) {
    if (path.isEmpty())
        return {};
    Close();  // what a failed start may have left, so no reference is overwritten unreleased
    // The path is handed on whole: cutting a long path to a fixed buffer would open another file.
    Graph = factory_();
    if (!Graph) {
        Close();
        return Failed(kNoGraph);
    }

    MediaControl = Graph->QueryMediaControl();
    const RenderState rendered =
        MediaControl ? MediaControl->RenderFile(path) : RenderState::Failed;
    if (rendered == RenderState::Failed) {
        Close();
        return Failed(kCannotRender);
    }

    VideoWindow = Graph->QueryVideoWindow();
    MediaEvent = Graph->QueryMediaEvent();
    if (MediaEvent)
        MediaEvent->SetNotifyWindow(pane.notifyWindow, pane.notifyMessage, 0);

    if (VideoWindow) {
        VideoWindow->SetOwner(pane.owner);
        VideoWindow->SetCaption(QStringLiteral("MyDVD"));
        VideoWindow->SetWindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
        if (rendered == RenderState::Rendered)
            FitVideo(pane.size);
        VideoWindow->SetMessageDrain(pane.owner);
    }
    PreviewStep step;
    if (rendered == RenderState::Opening) {
        opening_ = true;
        step.started = true;
    } else {
        step = RunOpened();
    }
    playing_ = step.started;
    return step;
}

// A source without a picture reports no size; its sound plays on and the pane keeps its picture.
void PreviewSession::FitVideo(QSize pane) {
    if (!VideoWindow)
        return;
    int left = 0, top = 0, width = 0, height = 0;
    if (!VideoWindow->GetWindowPosition(left, top, width, height))
        return;
    const QRect place = FitVideoIntoPane(pane, QSize(width, height));
    if (!place.isNull())
        VideoWindow->SetWindowPosition(place.x(), place.y(), place.width(), place.height());
}

// The steps of a start that need the opened file: the track's range from the duration, then
// running the graph. A graph that does not run is released at once.
PreviewStep PreviewSession::RunOpened() {
    PreviewStep step;
    MediaSeeking = Graph->QueryMediaSeeking();
    if (!MediaSeeking) {
        step.messages.push_back(QString::fromLatin1(kNoSeeking));
    } else {
        unsigned capabilities = 0;
        if (!MediaSeeking->GetCapabilities(capabilities))
            step.messages.push_back(QString::fromLatin1(kNoCapabilities));
        MediaSeeking->SetTimeFormat(TimeFormat::MediaTime);
        ReferenceTime duration = 0;
        if (MediaSeeking->GetDuration(duration))
            step.trackHigh = TrackSeconds(duration);
    }

    if (!MediaControl->Run()) {
        MediaControl->Stop();
        Close();
        step.messages.push_back(QString::fromLatin1(kCannotRun));
        step.timer = false;
        return step;
    }
    step.started = true;
    step.timer = true;
    return step;
}

void PreviewSession::Close() {
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
    opening_ = false;
    paused_ = false;
    playing_ = false;
}

bool PreviewSession::Stop() {
    if (!MediaControl)
        return false;
    MediaControl->Stop();
    Close();
    return true;
}

PreviewStep PreviewSession::HandleEvents(QSize pane) {
    PreviewStep step;
    bool ended = false;
    long code = 0;
    intptr_t param1 = 0, param2 = 0;
    // Finishing a start may release the graph, and with it the queue being drained.
    while (MediaEvent && MediaEvent->GetEvent(code, param1, param2, 0)) {
        MediaEvent->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT) {
            ended = true;
        } else if (code == EC_FILE_RENDERED && opening_) {
            opening_ = false;
            if (param1 == 0) {
                Close();
                step = Failed(kCannotRender);
            } else {
                FitVideo(pane);
                step = RunOpened();
                playing_ = step.started;
            }
        }
    }
    if (ended) {
        Close();
        step.timer = false;
    }
    return step;
}

bool PreviewSession::Seek(int seconds) {
    if (!playing_)
        return false;
    if (MediaSeeking) {
        ReferenceTime target = TrackTime(seconds);
        MediaSeeking->SetPositions(&target,
                                   AM_SEEKING_AbsolutePositioning | AM_SEEKING_SeekToKeyFrame,
                                   nullptr, AM_SEEKING_NoPositioning);
    }
    return true;
}

std::optional<int> PreviewSession::TrackPosition() {
    if (!MediaSeeking)
        return std::nullopt;
    ReferenceTime position = 0;
    MediaSeeking->GetCurrentPosition(position);
    return TrackSeconds(position);
}
