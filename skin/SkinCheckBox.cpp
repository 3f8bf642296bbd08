#include "skin/SkinCheckBox.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "skin/BufferedPaint.h"
#include "skin/Drawing.h"
#include "skin/FallbackPictures.h"

SkinCheckBox::SkinCheckBox(QWidget* parent) : QWidget(parent) {
    color_ = palette().color(QPalette::Button);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(93, 17);
}

void SkinCheckBox::SetChecked(bool checked) {
    checked_ = checked;
    update();
}

void SkinCheckBox::SetCaption(const QString& caption) {
    caption_ = caption;
    mnemonic_.Grab(this, caption_);
    ApplyAutoSize();
    update();
}

void SkinCheckBox::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    ApplyAutoSize();
    update();
}

void SkinCheckBox::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void SkinCheckBox::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    ApplyAutoSize();
    update();
}

void SkinCheckBox::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void SkinCheckBox::SetTabStop(bool value) {
    tabStop_ = value;
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void SkinCheckBox::Click() {
    SetChecked(!checked_);
    if (OnClick)
        OnClick(this);
}

QImage SkinCheckBox::StatePicture() const {
    // Frames: 1 checked, 2 unchecked, 3 checked and disabled, 4 unchecked and disabled.
    const int frame = (isEnabled() ? 1 : 3) + (checked_ ? 0 : 1);
    return LookPicture(EffectiveLook(uiStyle_), LookEntry::CheckBoxStrip, frame, 4);
}

void SkinCheckBox::ApplyAutoSize() {
    if (!autoSize_)
        return;
    const QImage picture = StatePicture();
    const QFontMetrics metrics(font());
    const int h = std::max(metrics.height() + 2, picture.height()) + 4;
    const int w = picture.width() + metrics.horizontalAdvance(caption_) + 8;
    if (size() != QSize(w, h))
        resize(w, h);
}

void SkinCheckBox::paintEvent(QPaintEvent*) {
    const QImage picture = StatePicture();
    PaintBuffered(this, transparent_, color_, [&](QPainter& painter) {
        painter.drawImage(1, (height() - picture.height()) / 2, picture);
        painter.setFont(font());
        const int textHeight = QFontMetrics(font()).height();
        const int top = (height() - textHeight) / 2;
        painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(128, 128, 128));
        painter.drawText(QRect(picture.width() + 4, top, width(), textHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic,
                         caption_);
        if (hasFocus() && tabStop_) {
            DrawFocusRect(painter, QRect(QPoint(picture.width() + 3, top),
                                         QPoint(width() - 1, top + textHeight + 1)));
        }
    });
}

void SkinCheckBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (tabStop_ && isEnabled())
            setFocus(Qt::MouseFocusReason);
        pressedInside_ = true;
    }
    FireMouse(OnMouseDown, this, event);
}

void SkinCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool click = pressedInside_ && rect().contains(p);
        pressedInside_ = false;
        if (click)
            Click();
    }
    FireMouse(OnMouseUp, this, event);
}

void SkinCheckBox::keyPressEvent(QKeyEvent* event) {
    if (IsClickKey(event) && isEnabled()) {
        return;  // the release clicks
    }
    QWidget::keyPressEvent(event);
}

void SkinCheckBox::keyReleaseEvent(QKeyEvent* event) {
    if (IsClickKey(event) && isEnabled()) {
        if (!event->isAutoRepeat())
            Click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void SkinCheckBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        ApplyAutoSize();
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
    QWidget::changeEvent(event);
}

bool SkinCheckBox::event(QEvent* event) {
    if (mnemonic_.Fired(event)) {
        if (isEnabled()) {
            if (tabStop_)
                setFocus(Qt::ShortcutFocusReason);
            Click();
        }
        return true;
    }
    return QWidget::event(event);
}
