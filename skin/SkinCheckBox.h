// A check box drawn from the look's check-box strip.
#pragma once

#include <QWidget>

#include "skin/Events.h"
#include "skin/KeyClick.h"
#include "skin/Looks.h"

class SkinCheckBox : public QWidget {
    Q_OBJECT
public:
    explicit SkinCheckBox(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    UIStyle GetUIStyle() const { return uiStyle_; }
    void SetUIStyle(UIStyle style);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

    // Checked or unchecked; any other state unchecks.
    Qt::CheckState State() const { return checked_ ? Qt::Checked : Qt::Unchecked; }
    void SetState(Qt::CheckState state) { SetChecked(state == Qt::Checked); }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);

    // Toggles Checked, then fires OnClick.
    void Click();

    NotifyEvent OnClick;
    MouseEvent OnMouseDown, OnMouseUp;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void changeEvent(QEvent*) override;
    bool event(QEvent*) override;

private:
    // The look's frame for the current state, or a plain box when the look has none.
    QImage StatePicture() const;
    void ApplyAutoSize();

    bool checked_ = false;
    QString caption_;
    UIStyle uiStyle_ = UIStyle::DeepBlue;
    bool transparent_ = false;
    bool autoSize_ = true;
    QColor color_;
    bool tabStop_ = true;
    bool pressedInside_ = false;
    Mnemonic mnemonic_;
};
