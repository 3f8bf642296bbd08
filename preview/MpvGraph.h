// The preview's media graph on libmpv.
//
// One mpv player per graph, created paused with its own video output (vo=libmpv). The picture
// is drawn by mpv's software renderer into a plain child widget of the owner given to the video
// window, so no OpenGL and no display server features are needed. Audio goes to mpv's default
// output unless the options name another ("null" for silence).
//
// Threads. mpv's wakeup and frame-update callbacks run on mpv's threads and do nothing but
// queue a call to the user interface thread; there mpv's events are drained with a zero
// timeout and frames are rendered. While a file plays, that thread never waits for mpv's core
// (pause and seek are asynchronous requests; position, duration and seekability arrive as
// events), because mpv's video output may itself be waiting for that thread to draw a frame.
// Releasing the last reference stops playback, frees the renderer, destroys the player
// (joining all of its threads) and removes the video widget, in that order.
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
