// The events of the skinned controls. Like the desktop toolkit they copy, a control holds one
// handler per event; the window assigns it (through platform::Guarded) and the control calls
// it with itself as the sender.
#pragma once

#include <Qt>
#include <functional>

class QMouseEvent;
class QObject;

using NotifyEvent = std::function<void(QObject* sender)>;
using MouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                      Qt::KeyboardModifiers shift, int x, int y)>;
using MouseMoveEvent =
    std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;

// Fires `handler`, when one is set, with `sender` and the event's button, keys and point.
void FireMouse(const MouseEvent& handler, QObject* sender, const QMouseEvent* event);
void FireMouseMove(const MouseMoveEvent& handler, QObject* sender, const QMouseEvent* event);
