#include "skin/KeyClick.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcutEvent>
#include <QWidget>

bool IsClickKey(const QKeyEvent* event) {
    const int key = event->key();
    return key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
}

void Mnemonic::Grab(QWidget* control, const QString& caption) {
    if (id_ != 0)
        control->releaseShortcut(id_);
    id_ = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
    if (!mnemonic.isEmpty())
        id_ = control->grabShortcut(mnemonic);
}

bool Mnemonic::Fired(const QEvent* event) const {
    return id_ != 0 && event->type() == QEvent::Shortcut &&
           static_cast<const QShortcutEvent*>(event)->shortcutId() == id_;
}
