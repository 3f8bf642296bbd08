// Sample clips for the preview tests, made by the ffmpeg command-line tool into a temporary
// folder that lasts for the test program's run.
#pragma once

#include <QString>
#include <functional>

namespace clips {

// A clip of `seconds` with a test picture of `width` x `height`, a key frame every 0.4 s and a
// tone; made once per program and name.
QString Video(const QString& name, double seconds, int width, int height);
// A tone without a picture.
QString AudioOnly(const QString& name, double seconds);
// A file that no player can read.
QString Unreadable();

// Runs the event loop until `done` holds (true) or `ms` have passed (false).
bool PumpUntil(const std::function<bool()>& done, int ms);

}  // namespace clips
