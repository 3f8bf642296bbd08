// Small helpers of the skin tests: mouse and enter/leave events sent straight to a control.
#pragma once

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWidget>

#include "support/WaitUntil.h"

namespace skintest {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::MouseButtons held = Qt::NoButton) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
        held |= button;
    QMouseEvent event(type, at, w->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

inline void Press(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonPress, at, button);
}
inline void Release(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonRelease, at, button);
}
inline void MoveHeld(QWidget* w, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
    Mouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
inline void Enter(QWidget* w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), w->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(w, &event);
}
inline void Leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}
inline QPoint Centre(const QWidget* w) {
    return w->rect().center();
}

using testsupport::WaitUntil;

}  // namespace skintest
