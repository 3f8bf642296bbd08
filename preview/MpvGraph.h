// The preview's media graph on libmpv.
//
// One mpv player per graph, created paused with its own video output (vo=libmpv). The picture
// is drawn by mpv's software renderer into a plain child widget of the owner given to the video
// window, so no OpenGL and no display server features are needed. Audio goes to mpv's default
// output unless the options name another ("null" for silence).
//
// Threads. mpv's wakeup and frame-update callbacks run on mpv's threads and do nothing but
// queue a call to the user interface thread; there mpv's events are drained with a zero
// timeout and frames are rendered. That thread is mpv's render thread, so it never waits for
// mpv's core, whose video output may itself be waiting for a frame to be drawn: loading, pause
// and seek are asynchronous requests, and picture size, duration, seekability and position are
// observed properties that arrive as events. RenderFile only starts loading; the file-loaded
// event (with the picture's size, for a file with a picture) completes it as EC_FILE_RENDERED.
// Releasing the last reference stops playback, frees the renderer, destroys the player
// (joining all of its threads) and removes the video widget, in that order.
#pragma once

#include <QString>
#include <memory>

#include "preview/MediaGraph.h"

struct MpvGraphOptions {
    QString audioOutput;  // mpv's "ao"; empty: mpv's default output
};

// A new graph, or nullptr when mpv cannot be created or started.
std::shared_ptr<IGraphBuilder> CreateMpvGraph(const MpvGraphOptions& options = {});
