#include "skin/SkinButton.h"

#include <QPainter>

#include "skin/Drawing.h"

SkinButton::SkinButton(QWidget* parent) : CustomSkinButton(parent) {
    resize(80, 27);
    UIStyleChanged();
}

void SkinButton::UIStyleChanged() {
    SetTransparent(LookButtonsTransparent());
}

void SkinButton::PaintPic(QPainter& painter, const QImage& picture) {
    boldCaption_ = false;
    SpitDraw(picture, painter, rect(), Transparent());
}

void SkinButton::PaintFocus(QPainter& painter) {
    const UIStyle look = EffectiveLook(GetUIStyle());
    if (look == UIStyle::MacOS || look == UIStyle::BlueGlass) {
        boldCaption_ = true;  // these looks show focus by a bold caption, not a rectangle
        return;
    }
    CustomSkinButton::PaintFocus(painter);
}

void SkinButton::PaintText(QPainter& painter) {
    QFont captionFont = font();
    if (boldCaption_)
        captionFont.setBold(true);
    painter.setFont(captionFont);
    QRect area = rect();
    if (Pressed())
        area.translate(1, 1);
    // The caption is a word-wrapped block centred in the button, each line centred.
    const int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;
    const QRect block = painter.boundingRect(area, flags, Caption());
    const QRect placed(area.left() + (area.width() - block.width()) / 2,
                       area.top() + (area.height() - block.height()) / 2, block.width(),
                       block.height());
    if (!isEnabled()) {
        painter.setPen(Qt::white);
        painter.drawText(placed.translated(1, 1), flags, Caption());
        painter.setPen(QColor(128, 128, 128));
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(placed, flags, Caption());
}
