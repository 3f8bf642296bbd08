#include "skin/Events.h"

#include <QMouseEvent>

void FireMouse(const MouseEvent& handler, QObject* sender, const QMouseEvent* event) {
    if (!handler)
        return;
    const QPoint p = event->position().toPoint();
    handler(sender, event->button(), event->modifiers(), p.x(), p.y());
}

void FireMouseMove(const MouseMoveEvent& handler, QObject* sender, const QMouseEvent* event) {
    if (!handler)
        return;
    const QPoint p = event->position().toPoint();
    handler(sender, event->modifiers(), p.x(), p.y());
}
