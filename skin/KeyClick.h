// The keyboard's way to click a focused button or check box: Space or Enter, and the
// accelerator character of the caption (the one after "&").
#pragma once

class QEvent;
class QKeyEvent;
class QString;
class QWidget;

// Space, Return or the keypad's Enter.
bool IsClickKey(const QKeyEvent* event);

// The accelerator of one control's caption, grabbed as a shortcut of the control's window.
class Mnemonic {
public:
    // Takes the accelerator of `caption` for `control`, giving up the one it held before; a
    // caption without one holds none.
    void Grab(QWidget* control, const QString& caption);
    // True for the shortcut event of this accelerator.
    bool Fired(const QEvent* event) const;

private:
    int id_ = 0;
};
