// Sample clips for the preview tests, made by the ffmpeg command-line tool into a temporary
// folder that lasts for the test program's run.
#pragma once

#include <QString>
#include <functional>

#include "preview/MediaGraph.h"

namespace clips {

// A clip of `seconds` with a test picture of `width` x `height`, a key frame every 0.4 s and a
// tone; made once per program and name.
QString Video(const QString& name, double seconds, int width, int height);
// A tone without a picture.
QString AudioOnly(const QString& name, double seconds);
// A file that no player can read.
QString Unreadable();

// Runs the event loop until `done` holds (true) or `ms` have passed (false). The deadlines
// are generous: a loaded machine only makes the wait longer, never the test fail.
bool PumpUntil(const std::function<bool()>& done, int ms);

// Renders `path` in a graph, waiting for a background opening to end: true when the file was
// opened. Events that come before the graph's EC_FILE_RENDERED are dropped.
bool Render(IMediaControl& control, IMediaEventEx& events, const QString& path);

}  // namespace clips
