// The push-button core of the skinned buttons: states, repeat while held, keys, focus.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include "skin/Events.h"
#include "skin/KeyClick.h"
#include "skin/Looks.h"
#include "skin/RepeatTimer.h"

class CustomSkinButton : public QWidget {
    Q_OBJECT
public:
    explicit CustomSkinButton(QWidget* parent = nullptr);

    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }
    int FocusedRectMargin() const { return focusedRectMargin_; }
    void SetFocusedRectMargin(int value);
    int MouseContinuouslyDownInterval() const { return repeatInterval_; }
    void SetMouseContinuouslyDownInterval(int ms) { repeatInterval_ = ms; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    bool MouseOn() const { return mouseOn_; }
    bool Pressed() const { return pressed_; }

    // Clicks the button: ends a press, hands ModalResult to the window, fires OnClick.
    void Click();

    NotifyEvent OnClick, OnMouseEnter, OnMouseExit, OnMouseContinuouslyDown;
    MouseEvent OnMouseDown, OnMouseUp;
    MouseMoveEvent OnMouseMove;

protected:
    virtual void AutoSizeChanged();
    virtual void CaptionChanged();
    virtual void FontChanged();
    virtual void TransparentChanged();
    virtual void EnableChanged();
    virtual void UIStyleChanged();
    virtual void PaintPic(QPainter& painter, const QImage& picture);
    virtual void PaintText(QPainter& painter);
    virtual void PaintFocus(QPainter& painter);
    virtual QImage PaintButtonNormal();
    virtual QImage PaintButtonMouseOn();
    virtual QImage PaintButtonMouseDown();
    virtual QImage PaintButtonDisabled();

    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void changeEvent(QEvent*) override;
    bool event(QEvent*) override;

    // The state picture for the current state (disabled, pressed, mouse over or normal).
    QImage StatePicture();
    // The look's button frame (1 normal, 2 mouse over, 3 pressed), or a plain 74 x 21 button
    // face when the look has no picture.
    QImage LookButtonFrame(int frame) const;
    // The look's flag that its push-button pictures leave their key colour undrawn.
    bool LookButtonsTransparent() const;

private:
    void RepeatTick();

    UIStyle uiStyle_ = UIStyle::DeepBlue;
    QString caption_;
    QColor color_;
    bool transparent_ = false;
    bool autoSize_ = false;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
    int focusedRectMargin_ = 2;
    int repeatInterval_ = 100;
    bool tabStop_ = true;
    bool mouseOn_ = false;
    bool pressed_ = false;
    bool leftHeld_ = false;
    RepeatTimer repeat_;
    Mnemonic mnemonic_;
};

// The window's dialog keys: Enter clicks the active default button (a focused SkinButton,
// else the one marked Default), Esc the one marked Cancel; both only without Shift, Ctrl and
// Alt. Installed on a window the first time one of its buttons is shown.
void EnsureDialogKeys(QWidget* window);
