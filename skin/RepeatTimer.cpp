#include "skin/RepeatTimer.h"

#include <QTimer>
#include <algorithm>

RepeatTimer::RepeatTimer(QObject* owner, std::function<void()> tick)
    : owner_(owner), tick_(std::move(tick)) {}

void RepeatTimer::Start(int ms) {
    if (timer_)
        return;
    timer_ = new QTimer(owner_);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(std::max(0, ms));
    QObject::connect(timer_, &QTimer::timeout, owner_, [this] { tick_(); });
    timer_->start();
}

void RepeatTimer::Stop() {
    if (!timer_)
        return;
    timer_->stop();
    timer_->deleteLater();
    timer_ = nullptr;
}
