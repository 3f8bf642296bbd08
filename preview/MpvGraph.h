// The preview's media graph on libmpv.
//
// One mpv player per graph, created paused with its own video output (vo=libmpv). The picture
// is drawn by mpv's software renderer into a plain child widget of the owner given to the video
// window, so no OpenGL and no display server features are needed. Audio goes to mpv's default
// output unless the options name another ("null" for silence).
//
// Threads. mpv's wakeup and frame-update callbacks run on mpv's threads and do nothing but
// queue a call to the user interface thread; there mpv's events are drained with a zero
// timeout and frames are rendered. Releasing the last reference frees the renderer, then
// destroys the player (joining all of its threads), then removes the video widget.
#pragma once

#include <QString>
#include <memory>

#include "preview/MediaGraph.h"

struct MpvGraphOptions {
    QString audioOutput;         // mpv's "ao"; empty: mpv's default output
    int renderTimeoutMs = 5000;  // how long RenderFile waits for the file to open
};

// A new graph, or nullptr when mpv cannot be created or started.
std::shared_ptr<IGraphBuilder> CreateMpvGraph(const MpvGraphOptions& options = {});
