#include "skin/SkinCheckBox.h"

#include <QKeyEvent>
#include <QPainter>
#include <QShortcutEvent>
#include <algorithm>

#include "skin/Drawing.h"

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
    if (shortcutId_ != 0)
        releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (!mnemonic.isEmpty())
        shortcutId_ = grabShortcut(mnemonic);
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
    QImage picture;
    if (GetInsideThemeBitmap(EffectiveLook(uiStyle_), LookEntry::CheckBoxStrip, picture, frame,
                             4)) {
        return picture;
    }
    picture = QImage(13, 13, QImage::Format_ARGB32);
    picture.fill(isEnabled() ? Qt::white : QColor(230, 230, 230));
    QPainter p(&picture);
    p.setPen(isEnabled() ? QColor(90, 96, 106) : QColor(160, 160, 160));
    p.drawRect(0, 0, 12, 12);
    if (checked_) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(p.pen().color(), 2));
        p.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(5.5, 9), QPointF(10, 3.5)}));
    }
    return picture;
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
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(transparent_ ? QColor(Qt::transparent) : color_);
    {
        QPainter painter(&buffer);
        if (transparent_)
            DoTrans(painter, this);
        painter.drawImage(1, (height() - picture.height()) / 2, picture);
        painter.setFont(font());
        const QFontMetrics metrics(font());
        const int textHeight = metrics.height();
        const int top = (height() - textHeight) / 2;
        painter.setPen(isEnabled() ? palette().color(QPalette::WindowText) : QColor(128, 128, 128));
        painter.drawText(QRect(picture.width() + 4, top, width(), textHeight),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic,
                         caption_);
        if (hasFocus() && tabStop_) {
            QPen pen(Qt::black);
            pen.setStyle(Qt::DotLine);
            painter.setPen(pen);
            painter.drawRect(
                QRect(QPoint(picture.width() + 3, top), QPoint(width() - 1, top + textHeight + 1)));
        }
    }
    QPainter(this).drawImage(0, 0, buffer);
}

void SkinCheckBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (tabStop_ && isEnabled())
            setFocus(Qt::MouseFocusReason);
        pressedInside_ = true;
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
}

void SkinCheckBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        const bool click = pressedInside_ && rect().contains(p);
        pressedInside_ = false;
        if (click)
            Click();
    }
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), p.x(), p.y());
}

void SkinCheckBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && isEnabled()) {
        return;  // the release clicks
    }
    QWidget::keyPressEvent(event);
}

void SkinCheckBox::keyReleaseEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && isEnabled()) {
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
    if (event->type() == QEvent::Shortcut &&
        static_cast<QShortcutEvent*>(event)->shortcutId() == shortcutId_ && shortcutId_ != 0) {
        if (isEnabled()) {
            if (tabStop_)
                setFocus(Qt::ShortcutFocusReason);
            Click();
        }
        return true;
    }
    return QWidget::event(event);
}
