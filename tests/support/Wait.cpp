#include "support/Wait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

bool WaitUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}
