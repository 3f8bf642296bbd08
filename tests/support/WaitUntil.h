// The tests' one wait for something that happens on the event loop (a timer, a posted message,
// a player's event): the loop runs until the condition holds or the deadline passes. The
// deadlines are generous, so a busy machine only makes the wait longer, never a test fail.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

namespace testsupport {

// True once `done` holds; false when `ms` passed first.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 30000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

}  // namespace testsupport
