#include "skin/SkinForm.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

QRegion SetBitmapWindow(const QImage& bitmap, QRgb key) {
    QRegion region;
    if (bitmap.isNull())
        return region;
    const QImage image = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb opaqueKey = key | 0xFF000000u;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int first = -1, last = -1;
        for (int x = 0; x < width; ++x) {
            if ((line[x] | 0xFF000000u) == opaqueKey || x == width - 1) {
                if (first >= 0)
                    region += QRect(first, y, last + 1 - first, 1);
                first = -1;
            } else {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
    }
    return region;
}

SkinForm::SkinForm(QWidget* form) : QWidget(form), form_(form) {
    if (form_ && form_->isWindow()) {
        form_->setWindowFlags(form_->windowFlags() | Qt::FramelessWindowHint);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setGeometry(0, 0, 200, 100);
    lower();
}

void SkinForm::SetGlyph(const QImage& glyph) {
    glyph_ = glyph;
    ReSetWndRgn();
    update();
}

void SkinForm::SetTransparentColor(const QColor& color) {
    transparentColor_ = color;
    ReSetWndRgn();
    update();
}

void SkinForm::ReSetWndRgn() {
    if (glyph_.isNull())
        return;
    region_ = SetBitmapWindow(glyph_, transparentColor_.rgb());
    if (form_) {
        // An empty mask would mean "no mask" to the toolkit; a window whose every pixel is key
        // colour must vanish, so it gets a mask that lies wholly outside it.
        form_->setMask(region_.isEmpty() ? QRegion(-1, -1, 1, 1) : region_);
    }
    if (glyph_.width() > 0 && glyph_.height() > 0)
        resize(glyph_.size());
    move(0, 0);
    if (form_)
        form_->resize(size());
    if (OnRegionChanged)
        OnRegionChanged(this);
}

void SkinForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!glyph_.isNull() && glyph_.width() > 0 && glyph_.height() > 0) {
        painter.drawImage(0, 0, glyph_);
    } else {
        painter.fillRect(rect(), palette().window());
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.end();
    if (OnPaint)
        OnPaint(this);
}

void SkinForm::mousePressEvent(QMouseEvent* event) {
    FireMouse(OnMouseDown, this, event);
    // Any press moves the window as a press on a caption would: the system's own move first,
    // and where the platform offers none, the window follows the pointer until release.
    QWidget* window = form_ ? form_->window() : this->window();
    QWindow* handle = window ? window->windowHandle() : nullptr;
    if (handle && handle->startSystemMove()) {
        dragging_ = false;
        return;
    }
    dragging_ = window != nullptr;
    if (dragging_)
        dragOffset_ = event->globalPosition().toPoint() - window->pos();
}

void SkinForm::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && event->buttons() != Qt::NoButton) {
        QWidget* window = form_ ? form_->window() : this->window();
        window->move(event->globalPosition().toPoint() - dragOffset_);
    }
    FireMouseMove(OnMouseMove, this, event);
}

void SkinForm::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton && rect().contains(p) && OnClick)
        OnClick(this);
    FireMouse(OnMouseUp, this, event);
}

void SkinForm::mouseDoubleClickEvent(QMouseEvent* event) {
    if (OnDblClick)
        OnDblClick(this);
    mousePressEvent(event);
}
