#include "skin/CustomSkinButton.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPainter>

#include "skin/BufferedPaint.h"
#include "skin/Drawing.h"
#include "skin/FallbackPictures.h"

namespace {

QImage Greyed(const QImage& picture) {
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const int grey = (qGray(line[x]) + 2 * 192) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return result;
}

class DialogKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (mods != Qt::NoModifier)
            return false;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        const bool escape = key->key() == Qt::Key_Escape;
        if (!enter && !escape)
            return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window)
            return false;
        const auto buttons = window->findChildren<CustomSkinButton*>();
        for (CustomSkinButton* button : buttons) {
            if (!button->isVisible() || !button->isEnabled())
                continue;
            if (button->window() != window)
                continue;
            if ((enter && button->Default()) || (escape && button->Cancel())) {
                button->Click();
                return true;
            }
        }
        return false;
    }
};

}  // namespace

void EnsureDialogKeys(QWidget* window) {
    if (!window)
        return;
    static const char* kFilterName = "qorDialogKeys";
    if (window->findChild<QObject*>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly)) {
        return;
    }
    auto* filter = new DialogKeyFilter(window);
    filter->setObjectName(QLatin1String(kFilterName));
    window->installEventFilter(filter);
}

CustomSkinButton::CustomSkinButton(QWidget* parent)
    : QWidget(parent), repeat_(this, [this] { RepeatTick(); }) {
    color_ = palette().color(QPalette::Button);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(75, 25);
}

void CustomSkinButton::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    UIStyleChanged();
    AutoSizeChanged();
    update();
}

void CustomSkinButton::SetCaption(const QString& caption) {
    caption_ = caption;
    mnemonic_.Grab(this, caption_);
    CaptionChanged();
    update();
}

void CustomSkinButton::SetTransparent(bool transparent) {
    transparent_ = transparent;
    TransparentChanged();
    update();
}

void CustomSkinButton::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    AutoSizeChanged();
    update();
}

void CustomSkinButton::SetDefault(bool value) {
    default_ = value;
    if (value)
        EnsureDialogKeys(window());
}

void CustomSkinButton::SetCancel(bool value) {
    cancel_ = value;
    if (value)
        EnsureDialogKeys(window());
}

void CustomSkinButton::SetFocusedRectMargin(int value) {
    focusedRectMargin_ = value;
    update();
}

void CustomSkinButton::SetTabStop(bool value) {
    tabStop_ = value;
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void CustomSkinButton::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void CustomSkinButton::Click() {
    if (pressed_) {
        repeat_.Stop();
        pressed_ = false;
        update();
    }
    // The window takes the button's modal result; a dialog ends on a result other than 0.
    QWidget* form = window();
    if (form && form != this) {
        form->setProperty("ModalResult", modalResult_);
        if (auto* dialog = qobject_cast<QDialog*>(form); dialog && modalResult_ != 0) {
            dialog->done(modalResult_);
        }
    }
    if (OnClick)
        OnClick(this);
}

void CustomSkinButton::AutoSizeChanged() {
    if (!autoSize_)
        return;
    resize(LookButtonFrame(1).size());
}

void CustomSkinButton::CaptionChanged() {}
void CustomSkinButton::FontChanged() {}
void CustomSkinButton::TransparentChanged() {}
void CustomSkinButton::EnableChanged() {}
void CustomSkinButton::UIStyleChanged() {}

QImage CustomSkinButton::LookButtonFrame(int frame) const {
    return LookPicture(EffectiveLook(uiStyle_), LookEntry::ButtonStrip, frame, 3);
}

bool CustomSkinButton::LookButtonsTransparent() const {
    return GetInsideThemeBool(EffectiveLook(uiStyle_), LookEntry::ButtonTransparent)
        .value_or(false);
}

QImage CustomSkinButton::PaintButtonNormal() {
    return LookButtonFrame(1);
}
QImage CustomSkinButton::PaintButtonMouseOn() {
    return LookButtonFrame(2);
}
QImage CustomSkinButton::PaintButtonMouseDown() {
    return LookButtonFrame(3);
}
QImage CustomSkinButton::PaintButtonDisabled() {
    return LookButtonFrame(1);
}

QImage CustomSkinButton::StatePicture() {
    if (!isEnabled())
        return PaintButtonDisabled();
    if (pressed_)
        return PaintButtonMouseDown();
    if (mouseOn_)
        return PaintButtonMouseOn();
    return PaintButtonNormal();
}

void CustomSkinButton::PaintPic(QPainter& painter, const QImage& picture) {
    if (picture.isNull())
        return;
    QImage shown = picture;
    if (transparent_)
        shown = WithKeyColor(shown, shown.pixel(0, 0));
    if (!isEnabled())
        shown = Greyed(shown);
    painter.drawImage(0, 0, shown);
}

void CustomSkinButton::PaintText(QPainter& painter) {
    painter.setFont(font());
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(128, 128, 128));
    QRect area = rect();
    if (pressed_)
        area.translate(1, 1);
    painter.drawText(area, Qt::AlignCenter | Qt::TextShowMnemonic, caption_);
}

void CustomSkinButton::PaintFocus(QPainter& painter) {
    const int m = focusedRectMargin_;
    DrawFocusRect(painter, rect().adjusted(m, m, -m, -m));
}

void CustomSkinButton::paintEvent(QPaintEvent*) {
    const QImage picture = StatePicture();
    PaintBuffered(this, transparent_, color_, [&](QPainter& painter) {
        PaintPic(painter, picture);
        if (hasFocus() && tabStop_)
            PaintFocus(painter);
        if (!caption_.trimmed().isEmpty())
            PaintText(painter);
    });
}

void CustomSkinButton::RepeatTick() {
    if (OnMouseContinuouslyDown)
        OnMouseContinuouslyDown(this);
}

void CustomSkinButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        leftHeld_ = true;
        repeat_.Start(repeatInterval_);
        if (tabStop_ && focusPolicy() != Qt::NoFocus && isEnabled() && isVisible()) {
            setFocus(Qt::MouseFocusReason);
        }
        update();
    }
    FireMouse(OnMouseDown, this, event);
}

void CustomSkinButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->buttons() != Qt::NoButton && !rect().contains(p) && (mouseOn_ || pressed_)) {
        // Pointer dragged off the held button: it no longer counts as pressed and stops
        // repeating until it is pressed again.
        mouseOn_ = false;
        pressed_ = false;
        repeat_.Stop();
        update();
    } else if (leftHeld_ && !pressed_ && rect().contains(p) &&
               (event->buttons() & Qt::LeftButton)) {
        // Back over the button while still held: a release here clicks it.
        mouseOn_ = true;
        pressed_ = true;
        update();
    }
    FireMouseMove(OnMouseMove, this, event);
}

void CustomSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftHeld_ = false;
        const bool inside = rect().contains(p);
        if (inside && pressed_) {
            Click();
        } else {
            pressed_ = false;
            update();
        }
        repeat_.Stop();
        if (inside && !mouseOn_) {
            mouseOn_ = true;
            update();
        }
    }
    FireMouse(OnMouseUp, this, event);
}

void CustomSkinButton::enterEvent(QEnterEvent*) {
    mouseOn_ = true;
    update();
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void CustomSkinButton::leaveEvent(QEvent*) {
    mouseOn_ = false;
    pressed_ = false;
    repeat_.Stop();
    update();
    if (OnMouseExit)
        OnMouseExit(this);
}

void CustomSkinButton::keyPressEvent(QKeyEvent* event) {
    if (IsClickKey(event) && isEnabled()) {
        if (!event->isAutoRepeat()) {
            pressed_ = true;
            update();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CustomSkinButton::keyReleaseEvent(QKeyEvent* event) {
    if (IsClickKey(event) && isEnabled()) {
        if (!event->isAutoRepeat() && pressed_)
            Click();
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CustomSkinButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled()) {
            pressed_ = false;
            repeat_.Stop();
        }
        EnableChanged();
        update();
    } else if (event->type() == QEvent::FontChange) {
        FontChanged();
        update();
    }
    QWidget::changeEvent(event);
}

bool CustomSkinButton::event(QEvent* event) {
    if (mnemonic_.Fired(event)) {
        if (isEnabled())
            Click();
        return true;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange) {
        if (default_ || cancel_)
            EnsureDialogKeys(window());
    } else if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        update();
    }
    return QWidget::event(event);
}
