#include "skin/SkinProgressBar.h"

#include <QPainter>
#include <algorithm>

#include "skin/BufferedPaint.h"
#include "skin/Drawing.h"
#include "skin/FallbackPictures.h"

SkinProgressBar::SkinProgressBar(QWidget* parent) : QWidget(parent) {
    color_ = palette().color(QPalette::Button);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(150, 12);
    SetUIStyle(uiStyle_);
}

void SkinProgressBar::Changed() {
    const long long range = static_cast<long long>(high_) - min_;
    const long long percent =
        range == 0 ? 0 : (static_cast<long long>(position_) - min_) * 100 / range;
    caption_ = QString::number(percent) + QLatin1Char('%');
    update();
}

void SkinProgressBar::SetCaptionText(const QString& text) {
    caption_ = text;
    update();
}

void SkinProgressBar::SetMin(int value) {
    min_ = value;
    Changed();
}

void SkinProgressBar::SetHigh(int value) {
    high_ = value;
    Changed();
}

void SkinProgressBar::SetPosition(int value) {
    position_ = value;
    Changed();
}

int SkinProgressBar::FillWidth() const {
    const int total = (orientation_ == Qt::Horizontal ? width() : height()) - 1;
    if (min_ >= high_ || position_ <= min_)
        return 0;
    if (position_ > high_)
        return total;
    return static_cast<int>(static_cast<long long>(total) * (position_ - min_) /
                            (static_cast<long long>(high_) - min_));
}

void SkinProgressBar::SetShowCaption(bool value) {
    showCaption_ = value;
    update();
}

void SkinProgressBar::SetSmartShowCaption(bool value) {
    smartShowCaption_ = value;
    update();
}

void SkinProgressBar::SetOrientation(Qt::Orientation orientation) {
    orientation_ = orientation;
    SetUIStyle(uiStyle_);
}

void SkinProgressBar::SetUIStyle(UIStyle style) {
    uiStyle_ = style;
    const UIStyle look = EffectiveLook(style);
    const QImage fill = LookPicture(look, LookEntry::ProgressFill);
    picture_ = orientation_ == Qt::Vertical ? RoundPicture(fill) : fill;
    if (auto empty = GetInsideThemeColor(look, LookEntry::ProgressEmpty))
        color_ = *empty;
    if (auto border = GetInsideThemeColor(look, LookEntry::BorderColor))
        borderColor_ = *border;
    update();
}

void SkinProgressBar::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void SkinProgressBar::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void SkinProgressBar::SetBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void SkinProgressBar::SetCaptionColor(const QColor& color) {
    captionColor_ = color;
    update();
}

void SkinProgressBar::paintEvent(QPaintEvent*) {
    PaintBuffered(this, false, color_, [&](QPainter& painter) {
        const int fill = std::max(1, FillWidth());
        if (orientation_ == Qt::Horizontal) {
            // The picture covers columns 1..fill; the border drawn last hides the column
            // under the right edge when the bar is full.
            if (!picture_.isNull())
                painter.drawImage(QRect(1, 1, fill, height() - 2), picture_);
            painter.fillRect(QRect(fill + 1, 1, width() - 2 - fill, height() - 2), color_);
            if (showCaption_ && !(smartShowCaption_ && position_ == min_)) {
                painter.setFont(font());
                painter.setPen(captionColor_);
                painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
            }
        } else {
            // A vertical bar fills from the bottom up.
            const int top = height() - 1 - fill;
            if (!picture_.isNull())
                painter.drawImage(QRect(1, top, width() - 2, fill), picture_);
            painter.fillRect(QRect(1, 1, width() - 2, top - 1), color_);
        }
        painter.setPen(borderColor_);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    });
}
