// The media graph the preview plays through: one playback graph for one file, reached through
// five interfaces that the converter window holds as separate references (the graph builder,
// media control, video window, media event and media seeking interfaces of a filter graph).
//
// Lifetime. CreateFilterGraph() gives the graph builder; the other four interfaces are queried
// from it. Every reference keeps the whole graph alive; the graph is destroyed, its threads
// joined and its video window removed, when the last reference goes. References are held and
// released on the user interface thread only.
//
// Threads. All calls are made on the user interface thread, and none of them waits for the
// graph's own threads. A graph may decode on threads of its own, but those never call into the
// windows: events are queued inside the graph, and a notify message (SetNotifyWindow) is posted
// for each one; the window then drains the queue with GetEvent and a zero timeout.
//
// Opening. RenderFile either opens the file before it returns (Rendered), fails at once
// (Failed), or starts opening it (Opening): the outcome then arrives later as the event
// EC_FILE_RENDERED. Picture size, duration and seekability are known once the file is open.
//
// Time. Durations and positions are reference time: 64-bit counts of 100 ns.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/kivoengine.h"

class QWidget;

using ReferenceTime = int64_t;
constexpr ReferenceTime kReferenceTimePerSecond = 10'000'000;

// Event codes of the graph.
constexpr long EC_COMPLETE = 1;    // every stream has played to its end
constexpr long EC_USERABORT = 2;   // the user ended playback (the video window was closed)
constexpr long EC_ERRORABORT = 3;  // playback stopped on an error; param1 holds the cause
// The file that RenderFile began to open is open (param1 1) or cannot be rendered (param1 0).
// A code of the range the graph leaves to its users (EC_USER and above).
constexpr long EC_FILE_RENDERED = 0x8001;

// Styles for IVideoWindow::SetWindowStyle.
constexpr long WS_CHILD = 0x40000000;
constexpr long WS_CLIPSIBLINGS = 0x04000000;

// Flags of IMediaSeeking::SetPositions.
constexpr unsigned AM_SEEKING_NoPositioning = 0;
constexpr unsigned AM_SEEKING_AbsolutePositioning = 1;
constexpr unsigned AM_SEEKING_SeekToKeyFrame = 4;

// Capability flags of IMediaSeeking::GetCapabilities.
constexpr unsigned AM_SEEKING_CanSeekAbsolute = 0x1;
constexpr unsigned AM_SEEKING_CanSeekForwards = 0x2;
constexpr unsigned AM_SEEKING_CanSeekBackwards = 0x4;
constexpr unsigned AM_SEEKING_CanGetCurrentPos = 0x8;
constexpr unsigned AM_SEEKING_CanGetDuration = 0x100;

enum class TimeFormat { MediaTime };  // reference time, the only format the graph knows

class IMediaControl;
class IVideoWindow;
class IMediaEventEx;
class IMediaSeeking;

class IGraphBuilder {
public:
    virtual ~IGraphBuilder() = default;
    // Each gives a new reference to the same graph, or nullptr when the graph lacks it.
    virtual std::shared_ptr<IMediaControl> QueryMediaControl() = 0;
    virtual std::shared_ptr<IVideoWindow> QueryVideoWindow() = 0;
    virtual std::shared_ptr<IMediaEventEx> QueryMediaEvent() = 0;
    virtual std::shared_ptr<IMediaSeeking> QueryMediaSeeking() = 0;
};

enum class RenderState {
    Failed,    // the file cannot be rendered
    Rendered,  // the playback chain is built, stopped at the start
    Opening,   // being built; EC_FILE_RENDERED tells the outcome
};

class IMediaControl {
public:
    virtual ~IMediaControl() = default;
    // Builds the playback chain for the file and leaves it stopped at the start (see Opening).
    virtual RenderState RenderFile(const QString& path) = 0;
    virtual bool Run() = 0;
    // Holds the picture where it is; Run goes on from there.
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
};

// The window the video is shown in. It appears once it has an owner, and only for a file with
// a picture; its size is the picture's own size until SetWindowPosition changes it.
class IVideoWindow {
public:
    virtual ~IVideoWindow() = default;
    virtual bool SetOwner(QWidget* owner) = 0;
    virtual bool SetCaption(const QString& caption) = 0;
    virtual bool SetWindowStyle(long style) = 0;
    virtual bool GetWindowPosition(int& left, int& top, int& width, int& height) = 0;
    virtual bool SetWindowPosition(int left, int top, int width, int height) = 0;
    // Mouse and keyboard input over the video goes to `drain`.
    virtual bool SetMessageDrain(QWidget* drain) = 0;
};

class IMediaEventEx {
public:
    virtual ~IMediaEventEx() = default;
    // From now on every queued event posts `message` (wparam 0, lparam `instance`) to `window`.
    // The window must stay alive while the graph is held.
    virtual bool SetNotifyWindow(KivoWindow* window, unsigned message, intptr_t instance) = 0;
    // Takes the oldest queued event, waiting up to `timeoutMs` for one (a graph that must not
    // block its caller may answer at once); false when none came.
    virtual bool GetEvent(long& code, intptr_t& param1, intptr_t& param2, int timeoutMs) = 0;
    // Frees what an event taken with GetEvent holds.
    virtual bool FreeEventParams(long code, intptr_t param1, intptr_t param2) = 0;
};

class IMediaSeeking {
public:
    virtual ~IMediaSeeking() = default;
    virtual bool GetCapabilities(unsigned& capabilities) = 0;
    virtual bool SetTimeFormat(TimeFormat format) = 0;
    virtual bool GetDuration(ReferenceTime& duration) = 0;
    // Leaves `position` untouched on failure.
    virtual bool GetCurrentPosition(ReferenceTime& position) = 0;
    // `current` and `stop` may be nullptr when their flags are AM_SEEKING_NoPositioning.
    virtual bool SetPositions(ReferenceTime* current, unsigned currentFlags, ReferenceTime* stop,
                              unsigned stopFlags) = 0;
};

using GraphFactory = std::function<std::shared_ptr<IGraphBuilder>()>;

// A new, empty graph, or nullptr when no graph can be created.
std::shared_ptr<IGraphBuilder> CreateFilterGraph();

// Replaces the graph the preview creates (tests put a fake or a differently set-up graph here);
// an empty factory puts the default one (libmpv with the desktop's audio output) back.
void SetGraphFactory(GraphFactory factory);
