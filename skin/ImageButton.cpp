#include "skin/ImageButton.h"

#include <QPainter>

#include "skin/Drawing.h"

ImageButton::ImageButton(QWidget* parent) : CustomSkinButton(parent) {}

void ImageButton::SetPicNormal(const QImage& picture) {
    picNormal_ = picture;
    AutoSizeChanged();
    update();
}

void ImageButton::SetPicMouseOn(const QImage& picture) {
    picMouseOn_ = picture;
    AutoSizeChanged();
    update();
}

void ImageButton::SetPicMouseDown(const QImage& picture) {
    picMouseDown_ = picture;
    AutoSizeChanged();
    update();
}

void ImageButton::SetPicDisabled(const QImage& picture) {
    picDisabled_ = picture;
    AutoSizeChanged();
    update();
}

void ImageButton::SetStretch(bool stretch) {
    stretch_ = stretch;
    update();
}

void ImageButton::SetDrawFocused(bool value) {
    drawFocused_ = value;
    update();
}

void ImageButton::AutoSizeChanged() {
    if (AutoSize() && parentWidget() && !picNormal_.isNull())
        resize(picNormal_.size());
}

void ImageButton::PaintPic(QPainter& painter, const QImage& picture) {
    if (picture.isNull())
        return;
    // The picture's key colour is its top-left pixel.
    const QImage shown = Transparent() ? WithKeyColor(picture, picture.pixel(0, 0)) : picture;
    if (stretch_) {
        painter.drawImage(rect(), shown);
    } else {
        painter.drawImage(0, 0, shown);
    }
}

// A white line under the dotted black one keeps the focus visible on dark and light pictures.
void ImageButton::PaintFocus(QPainter& painter) {
    if (!drawFocused_)
        return;
    const int m = FocusedRectMargin();
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(m, m, -m - 1, -m - 1));
    CustomSkinButton::PaintFocus(painter);
}

QImage ImageButton::PaintButtonNormal() {
    return picNormal_;
}
QImage ImageButton::PaintButtonMouseOn() {
    return picMouseOn_.isNull() ? picNormal_ : picMouseOn_;
}
QImage ImageButton::PaintButtonMouseDown() {
    return picMouseDown_.isNull() ? picNormal_ : picMouseDown_;
}
QImage ImageButton::PaintButtonDisabled() {
    return picDisabled_.isNull() ? picNormal_ : picDisabled_;
}
