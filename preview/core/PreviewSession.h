// The preview session: one preview of one file through a media graph, apart from the window
// that shows it. It holds the graph's five references and releases them in a fixed order, opens
// the file through a graph factory and runs the graph (at once, or once the graph reports the
// file opened), tells what each graph event means, turns play positions into the whole seconds
// of the position track and back, and keeps the preview's play state.
//
// It shows nothing itself: each step returns what the window is to show (messages, the track's
// range, the position timer), and the window shows it after the step, when the graph of a failed
// start has already been released. All calls are made on the user interface thread.
#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "preview/MediaGraph.h"

// Where an opened preview shows its video and sends its events.
struct PreviewPane {
    KivoWindow* notifyWindow = nullptr;  // every graph event posts `notifyMessage` here
    unsigned notifyMessage = 0;
    QWidget* owner = nullptr;  // the pane that holds the video and takes input over it
    QSize size;                // the pane's client size
};

// What the window does once a step of the session has returned.
struct PreviewStep {
    bool started = false;           // the preview plays, or is opening and will start by itself
    std::vector<QString> messages;  // shown in this order
    std::optional<int> trackHigh;   // the position track's new upper bound, whole seconds
    std::optional<bool> timer;      // the position display: on once the graph runs, off once the
                                    // preview closed
};

// Whole seconds of the position track from reference time, truncated toward zero, and back.
int TrackSeconds(ReferenceTime time);
ReferenceTime TrackTime(int seconds);

class PreviewSession {
public:
    // `playing` is the preview's play state, one for the whole process: true from a start by the
    // user until the preview is stopped, closed or reaches its end. `factory` makes each graph.
    explicit PreviewSession(bool& playing, GraphFactory factory = CreateFilterGraph);
    PreviewSession(const PreviewSession&) = delete;
    PreviewSession& operator=(const PreviewSession&) = delete;

    // The user's start: builds a graph for the file at `path`, places its video in the pane,
    // sets the track's range and runs the graph, closing first whatever is still open. An empty
    // path fails at once with no message.
    // A file the graph opens in the background starts on EC_FILE_RENDERED (HandleEvents) and
    // counts as playing from here. Whatever fails after the graph was made releases it at once.
    PreviewStep Open(const QString& path, const PreviewPane& pane);
    // Stops the graph and releases every reference held, in the closing order (MediaControl,
    // VideoWindow, MediaEvent, MediaSeeking, Graph); the preview no longer plays. Safe when
    // nothing is open.
    void Close();
    // The user's Stop: false, changing nothing, while no graph is open; else stops and closes.
    bool Stop();
    // Drains the graph's queued events without waiting: the end of the file, a user abort or an
    // error abort closes the preview; the file opened in the background starts, or fails.
    // `pane` is the pane's client size, for placing the video of a file that has just opened.
    PreviewStep HandleEvents(QSize pane);
    // The user released the position track at `seconds`: false while nothing plays (no seek);
    // else seeks to that second, when the graph can seek, and the position display goes on.
    bool Seek(int seconds);
    // The play position in whole seconds (0 when the graph cannot tell it); none without a
    // seeking interface.
    std::optional<int> TrackPosition();
    bool Playing() const;
    // The user's Pause while the preview plays: the picture holds where it is and the preview
    // counts as playing still (it seeks, and its position takes marks). False, changing nothing,
    // when nothing plays or it is paused already.
    bool Pause();
    // Play on a paused preview: it goes on from where it was held. False when it is not paused.
    bool Resume();
    bool Paused() const;

    // The open preview's graph, one reference per interface, all empty while no preview is
    // open. Declared in this order so that destruction releases any still held as MediaSeeking,
    // MediaEvent, VideoWindow, MediaControl, Graph.
    std::shared_ptr<IGraphBuilder> Graph;
    std::shared_ptr<IMediaControl> MediaControl;
    std::shared_ptr<IVideoWindow> VideoWindow;
    std::shared_ptr<IMediaEventEx> MediaEvent;
    std::shared_ptr<IMediaSeeking> MediaSeeking;

private:
    void FitVideo(QSize pane);
    PreviewStep RunOpened();

    bool& playing_;
    GraphFactory factory_;
    bool opening_ = false;  // RenderFile left the file opening; EC_FILE_RENDERED tells the end
    bool paused_ = false;
};
