#include "skin/SkinEdit.h"

#include <QPainter>

#include "skin/Drawing.h"

SkinEdit::SkinEdit(QWidget* parent) : QLineEdit(parent) {
    // No border of the toolkit's own: the look's frame is drawn over a 2-pixel margin.
    setFrame(false);
    setTextMargins(2, 2, 2, 2);
    SetUIStyle(uiStyle_);
}

void SkinEdit::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    borderColor_ = GetInsideThemeColor(EffectiveLook(style), LookEntry::BorderColor)
                       .value_or(QColor(Qt::black));
    update();
}

void SkinEdit::SetBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void SkinEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    painter.setBrush(Qt::NoBrush);
    // The keyboard focus shows as a frame two pixels wide in the highlight colour.
    const bool focused = hasFocus();
    painter.setPen(focused ? FocusRingColor() : borderColor_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(focused ? FocusRingColor() : palette().color(QPalette::Base));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}
