#include "skin/ImagePanel.h"

#include <QMouseEvent>
#include <QPainter>

#include "skin/BufferedPaint.h"
#include "skin/Drawing.h"

ImagePanel::ImagePanel(QWidget* parent) : QWidget(parent) {
    color_ = palette().color(QPalette::Button);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ImagePanel::SetPicture(const QImage& picture) {
    picture_ = picture;
    PictureChanged();
}

void ImagePanel::PictureChanged() {
    if (autoSize_ && !picture_.isNull())
        resize(picture_.size());
    ClearPanel();
}

void ImagePanel::ClearPanel() {
    update();
}

void ImagePanel::SetDrawStyle(DrawStyle style) {
    drawStyle_ = style;
    ClearPanel();
}

void ImagePanel::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void ImagePanel::SetAutoSize(bool autoSize) {
    autoSize_ = autoSize;
    if (autoSize_ && !picture_.isNull())
        resize(picture_.size());
    update();
}

void ImagePanel::SetAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void ImagePanel::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void ImagePanel::SetCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void ImagePanel::SetBorderWidth(int width) {
    borderWidth_ = width;
    setContentsMargins(width, width, width, width);
    update();
}

// The panel's picture as drawn: with Transparent, its key colour (the bottom-left pixel, as for
// any transparent bitmap) is left out; a picture with its own alpha keeps it.
static QImage ShownPicture(const QImage& picture, bool transparent) {
    if (!transparent || picture.isNull() || picture.hasAlphaChannel())
        return picture;
    return WithKeyColor(picture, picture.pixel(0, picture.height() - 1));
}

void ImagePanel::paintEvent(QPaintEvent*) {
    PaintBuffered(this, transparent_, color_, [&](QPainter& painter) {
        if (!picture_.isNull()) {
            const QImage shown = ShownPicture(picture_, transparent_);
            switch (drawStyle_) {
                case DrawStyle::Stretch:
                    painter.drawImage(rect(), shown);
                    break;
                case DrawStyle::Tile:
                    for (int y = 0; y < height(); y += shown.height()) {
                        for (int x = 0; x < width(); x += shown.width()) {
                            painter.drawImage(x, y, shown);
                        }
                    }
                    break;
                case DrawStyle::Normal:
                    painter.drawImage(0, 0, shown);
                    break;
            }
        }
        if (!caption_.trimmed().isEmpty())
            RepaintText(painter);
    });
}

void ImagePanel::RepaintText(QPainter& painter) {
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const Qt::Alignment horizontal = alignment_ & Qt::AlignHorizontal_Mask;
    painter.drawText(
        rect(),
        (horizontal ? horizontal : Qt::AlignHCenter) | Qt::AlignVCenter | Qt::TextSingleLine,
        caption_);
}

void ImagePanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        pressedInside_ = true;
    FireMouse(OnMouseDown, this, event);
}

void ImagePanel::mouseMoveEvent(QMouseEvent* event) {
    FireMouseMove(OnMouseMove, this, event);
}

void ImagePanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool click = event->button() == Qt::LeftButton && pressedInside_ && rect().contains(p);
    if (event->button() == Qt::LeftButton)
        pressedInside_ = false;
    if (click && OnClick)
        OnClick(this);
    FireMouse(OnMouseUp, this, event);
}

void ImagePanel::enterEvent(QEnterEvent*) {
    if (OnMouseEnter)
        OnMouseEnter(this);
}

void ImagePanel::leaveEvent(QEvent*) {
    if (OnMouseExit)
        OnMouseExit(this);
}

void ImagePanel::resizeEvent(QResizeEvent*) {
    update();
    if (OnResize)
        OnResize(this);
}
