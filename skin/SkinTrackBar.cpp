#include "skin/SkinTrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skin/BufferedPaint.h"
#include "skin/Drawing.h"
#include "skin/FallbackPictures.h"
#include "skin/ImagePanel.h"
#include "skin/TrackScale.h"

namespace {

constexpr int kRepeatInterval = 100;

}  // namespace

SkinTrackBar::SkinTrackBar(QWidget* parent)
    : QWidget(parent), repeat_(this, [this] { RepeatTick(); }) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    thumb_ = new ImagePanel(this);
    thumb_->setObjectName(QStringLiteral("Thumb"));
    thumb_->SetAutoSize(true);
    thumb_->SetTransparent(true);
    thumb_->installEventFilter(this);
    resize(150, 20);
    UpdateControl();
}

QColor SkinTrackBar::Color() const {
    if (color_.isValid())
        return color_;
    return parentWidget() ? parentWidget()->palette().color(QPalette::Window)
                          : palette().color(QPalette::Window);
}

void SkinTrackBar::SetColor(const QColor& color) {
    color_ = color;
    RebuildBarStrip();
    update();
}

void SkinTrackBar::SetTabStop(bool value) {
    tabStop_ = value;
    setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
    update();
}

void SkinTrackBar::SetOrientation(Qt::Orientation orientation) {
    if (orientation == orientation_)
        return;
    orientation_ = orientation;
    UpdateControl();
}

void SkinTrackBar::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    if (style == UIStyle::MacOS)
        transparent_ = true;
    UpdateControl();
}

void SkinTrackBar::SetMin(int value) {
    if (value == min_)
        return;
    min_ = std::min(value, high_);
    position_ = std::max(position_, min_);
    UpdateSlider();
}

void SkinTrackBar::SetHigh(int value) {
    if (value == high_)
        return;
    high_ = std::max(value, min_);
    position_ = std::min(position_, high_);
    UpdateSlider();
}

void SkinTrackBar::SetPosition(int value) {
    position_ = std::clamp(value, min_, high_);
    UpdateSlider();
}

void SkinTrackBar::SetPageSize(int value) {
    if (value >= 0 && value <= high_)
        pageSize_ = value;
}

void SkinTrackBar::SetLineSize(int value) {
    if (value >= 0 && value <= high_)
        lineSize_ = value;
}

void SkinTrackBar::SetShowTick(bool value) {
    showTick_ = value;
    update();
}

void SkinTrackBar::SetFrequency(int value) {
    frequency_ = value;
    update();
}

void SkinTrackBar::SetTransparent(bool value) {
    transparent_ = value;
    update();
}

void SkinTrackBar::SetBarImage(const QImage& image) {
    barImage_ = image;
    RebuildBarStrip();
    UpdateSlider();
}

void SkinTrackBar::SetSliderImage(const QImage& image) {
    sliderImage_ = image;
    thumb_->SetPicture(image);
    UpdateSlider();
}

int SkinTrackBar::ThumbLengthAlong() const {
    return orientation_ == Qt::Horizontal ? thumb_->width() : thumb_->height();
}

int SkinTrackBar::TrackLengthAlong() const {
    return orientation_ == Qt::Horizontal ? width() : height();
}

void SkinTrackBar::RebuildBarStrip() {
    const bool horizontal = orientation_ == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const int thickness = barImage_.height();
    if (length <= 0 || thickness <= 0) {
        barBitmap_ = QImage();
        return;
    }
    QImage strip(length, thickness, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Color());
    {
        QPainter painter(&strip);
        SpitDrawHorizontal(barImage_, painter, QRect(0, 0, length, thickness));
    }
    barBitmap_ = horizontal
                     ? strip
                     : RoundPicture(strip).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void SkinTrackBar::UpdateControl() {
    if (rebuilding_)
        return;
    rebuilding_ = true;
    const bool horizontal = orientation_ == Qt::Horizontal;
    if (!keepCustomPictures_) {
        const UIStyle look = EffectiveLook(uiStyle_);
        barImage_ = LookPicture(look, LookEntry::TrackBar);
        sliderImage_ =
            LookPicture(look, horizontal ? LookEntry::TrackSlider : LookEntry::TrackSliderVertical);
    }
    thumb_->SetTransparent(horizontal);
    thumb_->SetAutoSize(true);
    thumb_->SetPicture(sliderImage_);

    // The track is as thick as the larger of its bar and its thumb.
    const int thickness = std::max(horizontal ? barImage_.height() : barImage_.height(),
                                   horizontal ? thumb_->height() : thumb_->width());
    if (thickness > 0 && !sliderImage_.isNull()) {
        if (horizontal && height() != thickness)
            resize(width(), thickness);
        if (!horizontal && width() != thickness)
            resize(thickness, height());
    }
    RebuildBarStrip();
    rebuilding_ = false;
    UpdateSlider();
}

void SkinTrackBar::UpdateSlider() {
    const int span = TrackLengthAlong() - ThumbLengthAlong();
    const int along = ThumbOffset(position_, min_, high_, span);
    if (orientation_ == Qt::Horizontal) {
        thumb_->move(along, std::max(0, (height() - thumb_->height()) / 2));
    } else {
        thumb_->move(std::max(0, (width() - thumb_->width()) / 2), along);
    }
    update();
    thumb_->update();
    if (position_ != lastNotified_) {
        lastChange_ = position_ - lastNotified_;
        lastNotified_ = position_;
        if (OnChange)
            OnChange(this);
    }
}

int SkinTrackBar::PositionFromPoint(int x, int y) const {
    return ValueAtPoint(orientation_ == Qt::Horizontal ? x : y, ThumbLengthAlong(),
                        TrackLengthAlong(), min_, high_);
}

void SkinTrackBar::paintEvent(QPaintEvent*) {
    PaintBuffered(this, transparent_, Color(), [&](QPainter& painter) {
        const bool horizontal = orientation_ == Qt::Horizontal;
        if (!barBitmap_.isNull()) {
            if (horizontal) {
                painter.drawImage(0, (height() - barBitmap_.height()) / 2, barBitmap_);
            } else {
                painter.drawImage((width() - barBitmap_.width()) / 2, 0, barBitmap_);
            }
        }
        if (hasFocus() && tabStop_)
            DrawFocusRect(painter, rect());
        if (showTick_ && high_ != min_) {
            painter.setPen(palette().color(QPalette::WindowText));
            const long long range = static_cast<long long>(high_) - min_;
            const int thumb = ThumbLengthAlong();
            const int span = TrackLengthAlong() - thumb;
            const long long step = std::max(1, frequency_);
            const auto tick = [&](long long value) {
                const int at = ThumbOffset(value, min_, high_, span) + thumb / 2;
                if (horizontal) {
                    painter.drawLine(at, height() - 3, at, height() - 1);
                } else {
                    painter.drawLine(0, at, 2, at);
                    painter.drawLine(width() - 3, at, width() - 1, at);
                }
            };
            // More ticks than pixels would only draw the same pixels again.
            const long long count = range / step;
            const long long stride = std::max<long long>(1, count / std::max(1, span));
            for (long long value = min_; value < high_; value += step * stride)
                tick(value);
            tick(high_);
        }
    });
}

void SkinTrackBar::resizeEvent(QResizeEvent*) {
    if (!rebuilding_)
        UpdateControl();
}

void SkinTrackBar::RepeatTick() {
    const int pointed = PositionFromPoint(lastPoint_.x(), lastPoint_.y());
    if (pointed != position_)
        SetPosition(static_cast<int>(RepeatTowards(position_, pointed, pageSize_)));
}

void SkinTrackBar::PressAt(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers mods,
                           bool onThumb) {
    lastPoint_ = point;
    if (onThumb) {
        if (button == Qt::LeftButton) {
            dragging_ = true;
            pressedInside_ = true;
            if (tabStop_ && isEnabled())
                setFocus(Qt::MouseFocusReason);
        }
        if (OnMouseDown)
            OnMouseDown(this, button, mods, point.x(), point.y());
        return;
    }
    if (OnMouseDown)
        OnMouseDown(this, button, mods, point.x(), point.y());
    if (button != Qt::LeftButton)
        return;
    pressedInside_ = true;
    const int value = PositionFromPoint(point.x(), point.y());
    const int thumbStart = orientation_ == Qt::Horizontal ? thumb_->x() : thumb_->y();
    const int along = orientation_ == Qt::Horizontal ? point.x() : point.y();
    SetPosition(static_cast<int>(PageTowards(position_, value, along >= thumbStart, pageSize_)));
    repeat_.Start(kRepeatInterval);
    if (tabStop_ && isEnabled())
        setFocus(Qt::MouseFocusReason);
}

void SkinTrackBar::MoveAt(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    lastPoint_ = point;
    if (dragging_) {
        position_ = PositionFromPoint(point.x(), point.y());
        UpdateSlider();
    } else if (!rect().contains(point)) {
        repeat_.Stop();
    }
    if (OnMouseMove)
        OnMouseMove(this, mods, point.x(), point.y());
}

void SkinTrackBar::ReleaseAt(QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
    lastPoint_ = point;
    const bool click = button == Qt::LeftButton && pressedInside_ && rect().contains(point);
    if (button == Qt::LeftButton)
        pressedInside_ = false;
    if (click && OnClick)
        OnClick(this);
    if (OnMouseUp)
        OnMouseUp(this, button, mods, point.x(), point.y());
    if (button == Qt::LeftButton) {
        repeat_.Stop();
        dragging_ = false;
    }
}

void SkinTrackBar::mousePressEvent(QMouseEvent* event) {
    PressAt(event->position().toPoint(), event->button(), event->modifiers(), false);
}

void SkinTrackBar::mouseMoveEvent(QMouseEvent* event) {
    MoveAt(event->position().toPoint(), event->buttons(), event->modifiers());
}

void SkinTrackBar::mouseReleaseEvent(QMouseEvent* event) {
    ReleaseAt(event->position().toPoint(), event->button(), event->modifiers());
}

void SkinTrackBar::leaveEvent(QEvent*) {
    if (!dragging_)
        repeat_.Stop();
}

bool SkinTrackBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched != thumb_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            PressAt(thumb_->mapToParent(mouse->position().toPoint()), mouse->button(),
                    mouse->modifiers(), true);
            return true;
        }
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            MoveAt(thumb_->mapToParent(mouse->position().toPoint()), mouse->buttons(),
                   mouse->modifiers());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            ReleaseAt(thumb_->mapToParent(mouse->position().toPoint()), mouse->button(),
                      mouse->modifiers());
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void SkinTrackBar::keyPressEvent(QKeyEvent* event) {
    int target = 0;
    if (KeyTarget(event->key(), position_, pageSize_, lineSize_, min_, high_, target)) {
        SetPosition(target);
    } else {
        QWidget::keyPressEvent(event);
    }
}
