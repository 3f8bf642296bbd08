// The repeat of a held button or track: a timer that exists only while the control is held and
// ticks once per interval, the first tick one interval after the press, so a click shorter than
// one interval never repeats.
#pragma once

#include <functional>

class QObject;
class QTimer;

class RepeatTimer {
public:
    // `owner` (the control) parents the timer; `tick` runs on every tick.
    RepeatTimer(QObject* owner, std::function<void()> tick);
    RepeatTimer(const RepeatTimer&) = delete;
    RepeatTimer& operator=(const RepeatTimer&) = delete;

    // Starts ticking every `ms` milliseconds (a negative interval counts as 0). A timer that
    // already runs keeps its interval and its rhythm.
    void Start(int ms);
    // Stops and drops the timer; safe from inside a tick.
    void Stop();
    bool Running() const { return timer_ != nullptr; }

private:
    QObject* owner_;
    std::function<void()> tick_;
    QTimer* timer_ = nullptr;
};
