#include "skin/SkinTrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "skin/Drawing.h"
#include "skin/ImagePanel.h"

namespace {

constexpr int kRepeatInterval = 100;

// Stand-ins while a look has no pictures: a plain groove and a plain thumb.
QImage PlainBar() {
    QImage bar(9, 6, QImage::Format_ARGB32);
    bar.fill(QColor(205, 210, 218));
    QPainter p(&bar);
    p.setPen(QColor(130, 136, 146));
    p.drawLine(0, 0, 8, 0);
    p.drawLine(0, 5, 8, 5);
    return bar;
}

QImage PlainThumb(Qt::Orientation orientation) {
    QImage thumb(11, 20, QImage::Format_ARGB32);
    thumb.fill(QColor(236, 240, 246));
    QPainter p(&thumb);
    p.setPen(QColor(90, 96, 106));
    p.drawRect(0, 0, 10, 19);
    p.end();
    return orientation == Qt::Horizontal ? thumb : RoundPicture(thumb);
}

// Rounds to the nearest integer, halves to the even neighbour, whatever the rounding mode.
long long RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double fraction = value - lower;
    long long result = static_cast<long long>(lower);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

}  // namespace

SkinTrackBar::SkinTrackBar(QWidget* parent) : QWidget(parent) {
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
        QImage bar, slider;
        if (!GetInsideThemeBitmap(look, LookEntry::TrackBar, bar))
            bar = PlainBar();
        if (!GetInsideThemeBitmap(
                look, horizontal ? LookEntry::TrackSlider : LookEntry::TrackSliderVertical,
                slider)) {
            slider = PlainThumb(orientation_);
        }
        barImage_ = bar;
        sliderImage_ = slider;
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
    const long long range = static_cast<long long>(high_) - min_;
    const long long offset = static_cast<long long>(position_) - min_;
    if (orientation_ == Qt::Horizontal) {
        const int span = width() - thumb_->width();
        const int x = range == 0 ? 0 : static_cast<int>(offset * span / range);
        const int y = std::max(0, (height() - thumb_->height()) / 2);
        thumb_->move(x, y);
    } else {
        const int span = height() - thumb_->height();
        const int y = range == 0 ? 0 : static_cast<int>(offset * span / range);
        const int x = std::max(0, (width() - thumb_->width()) / 2);
        thumb_->move(x, y);
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
    const int coord = orientation_ == Qt::Horizontal ? x : y;
    const int thumb = ThumbLengthAlong();
    const int span = TrackLengthAlong() - thumb;
    long long value = 0;
    if (span > 0) {
        const long long product =
            static_cast<long long>(coord - thumb / 2) * (static_cast<long long>(high_) - min_);
        value = RoundHalfEven(static_cast<double>(product) / span);
    }
    value += min_;
    return static_cast<int>(std::clamp<long long>(value, min_, high_));
}

void SkinTrackBar::paintEvent(QPaintEvent*) {
    QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(transparent_ ? QColor(Qt::transparent) : Color());
    {
        QPainter painter(&buffer);
        if (transparent_)
            DoTrans(painter, this);
        const bool horizontal = orientation_ == Qt::Horizontal;
        if (!barBitmap_.isNull()) {
            if (horizontal) {
                painter.drawImage(0, (height() - barBitmap_.height()) / 2, barBitmap_);
            } else {
                painter.drawImage((width() - barBitmap_.width()) / 2, 0, barBitmap_);
            }
        }
        if (hasFocus() && tabStop_) {
            QPen pen(Qt::black);
            pen.setStyle(Qt::DotLine);
            painter.setPen(pen);
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
        if (showTick_ && high_ != min_) {
            painter.setPen(palette().color(QPalette::WindowText));
            const long long range = static_cast<long long>(high_) - min_;
            const int thumb = ThumbLengthAlong();
            const int span = TrackLengthAlong() - thumb;
            const long long step = std::max(1, frequency_);
            const auto tick = [&](long long value) {
                const int at = static_cast<int>(span * (value - min_) / range) + thumb / 2;
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
    }
    QPainter(this).drawImage(0, 0, buffer);
}

void SkinTrackBar::resizeEvent(QResizeEvent*) {
    if (!rebuilding_)
        UpdateControl();
}

void SkinTrackBar::StopRepeat() {
    if (!repeatTimer_)
        return;
    repeatTimer_->stop();
    repeatTimer_->deleteLater();
    repeatTimer_ = nullptr;
}

void SkinTrackBar::RepeatTick() {
    // Three page steps towards the pointer, never past the value under it.
    const int target = PositionFromPoint(lastPoint_.x(), lastPoint_.y());
    const long long jump = 3LL * pageSize_;
    if (target > position_) {
        SetPosition(static_cast<int>(std::min<long long>(position_ + jump, target)));
    } else if (target < position_) {
        SetPosition(static_cast<int>(std::max<long long>(position_ - jump, target)));
    }
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
    const long long step = pageSize_;
    if (along >= thumbStart) {
        SetPosition(static_cast<int>(std::min<long long>(position_ + step, value)));
    } else {
        SetPosition(static_cast<int>(std::max<long long>(position_ - step, value)));
    }
    if (!repeatTimer_) {
        repeatTimer_ = new QTimer(this);
        repeatTimer_->setTimerType(Qt::PreciseTimer);
        repeatTimer_->setInterval(kRepeatInterval);
        connect(repeatTimer_, &QTimer::timeout, this, [this] { RepeatTick(); });
        repeatTimer_->start();
    }
    if (tabStop_ && isEnabled())
        setFocus(Qt::MouseFocusReason);
}

void SkinTrackBar::MoveAt(QPoint point, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    lastPoint_ = point;
    if (dragging_) {
        position_ = PositionFromPoint(point.x(), point.y());
        UpdateSlider();
    } else if (!rect().contains(point)) {
        StopRepeat();
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
        StopRepeat();
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
        StopRepeat();
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
    const long long p = position_;
    long long target;
    switch (event->key()) {
        case Qt::Key_PageUp:
            target = p - pageSize_;
            break;
        case Qt::Key_PageDown:
            target = p + pageSize_;
            break;
        case Qt::Key_End:
            target = high_;
            break;
        case Qt::Key_Home:
            target = min_;
            break;
        case Qt::Key_Left:
        case Qt::Key_Up:
            target = p - lineSize_;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            target = p + lineSize_;
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    SetPosition(static_cast<int>(std::clamp<long long>(target, min_, high_)));
}
