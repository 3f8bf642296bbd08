#include "skin/FallbackPictures.h"

#include <QLinearGradient>
#include <QPainter>

#include "skin/Drawing.h"

namespace {

// Push-button faces, 74 x 21: normal, mouse over, pressed.
QImage PlainButtons() {
    QImage strip(3 * 74, 21, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setPen(QColor(120, 126, 136));
    const QColor faces[3] = {QColor(226, 230, 236), QColor(236, 242, 250), QColor(200, 206, 214)};
    for (int frame = 0; frame < 3; ++frame) {
        p.setBrush(faces[frame]);
        p.drawRect(frame * 74, 0, 73, 20);
    }
    return strip;
}

// Check boxes, 13 x 13: checked, unchecked, checked and disabled, unchecked and disabled.
QImage PlainCheckBoxes() {
    QImage strip(4 * 13, 13, QImage::Format_ARGB32);
    QPainter p(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        const bool enabled = frame < 2, checked = frame % 2 == 0;
        const int x = frame * 13;
        p.fillRect(x, 0, 13, 13, enabled ? QColor(Qt::white) : QColor(230, 230, 230));
        const QColor ink = enabled ? QColor(90, 96, 106) : QColor(160, 160, 160);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(ink);
        p.setBrush(Qt::NoBrush);
        p.drawRect(x, 0, 12, 12);
        if (checked) {
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(ink, 2));
            p.drawPolyline(
                QPolygonF({QPointF(x + 3, 6.5), QPointF(x + 5.5, 9), QPointF(x + 10, 3.5)}));
        }
    }
    return strip;
}

QImage PlainProgressFill() {
    QImage fill(4, 10, QImage::Format_ARGB32);
    QPainter p(&fill);
    QLinearGradient shade(0, 0, 0, 10);
    shade.setColorAt(0, QColor(120, 180, 250));
    shade.setColorAt(1, QColor(40, 110, 210));
    p.fillRect(fill.rect(), shade);
    return fill;
}

// A plain face in `face`, edged in `ink` along the top and bottom and, with `sides`, the left
// and right.
QImage PlainFace(QSize size, QColor face, QColor ink, bool sides) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(face);
    QPainter p(&image);
    p.setPen(ink);
    const int right = size.width() - 1, bottom = size.height() - 1;
    if (sides) {
        p.drawRect(0, 0, right, bottom);
    } else {
        p.drawLine(0, 0, right, 0);
        p.drawLine(0, bottom, right, bottom);
    }
    return image;
}

QImage PlainTrackThumb() {
    return PlainFace({11, 20}, QColor(236, 240, 246), QColor(90, 96, 106), true);
}

// Up and down arrows, 15 x 15, three states each.
QImage PlainScrollArrows() {
    const int size = 15;
    QImage strip(size * 6, size, QImage::Format_ARGB32);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    for (int frame = 0; frame < 6; ++frame) {
        const int state = frame % 3;
        const QRect cell(frame * size, 0, size, size);
        p.fillRect(cell, state == 2   ? QColor(196, 204, 216)
                         : state == 1 ? QColor(232, 238, 246)
                                      : QColor(220, 224, 230));
        p.setPen(QColor(150, 156, 166));
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(0, 0, -1, -1));
        const bool up = frame < 3;
        const QPointF c = QRectF(cell).center();
        const QPointF points[3] = {{c.x() - 4, c.y() + (up ? 2 : -2)},
                                   {c.x() + 4, c.y() + (up ? 2 : -2)},
                                   {c.x(), c.y() + (up ? -2.5 : 2.5)}};
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 66, 76));
        p.drawPolygon(points, 3);
    }
    return strip;
}

QImage PlainPicture(int entry) {
    switch (entry) {
        case LookEntry::ButtonStrip:
            return PlainButtons();
        case LookEntry::CheckBoxStrip:
            return PlainCheckBoxes();
        case LookEntry::ProgressFill:
            return PlainProgressFill();
        case LookEntry::TrackBar:  // a groove of three equal parts
            return PlainFace({9, 6}, QColor(205, 210, 218), QColor(130, 136, 146), false);
        case LookEntry::TrackSlider:
            return PlainTrackThumb();
        case LookEntry::TrackSliderVertical:
            return RoundPicture(PlainTrackThumb());
        case LookEntry::ScrollButtons:
            return PlainScrollArrows();
        case LookEntry::ScrollThumb:  // start cap, middle and end cap
            return PlainFace({15, 15}, QColor(168, 176, 190), QColor(110, 118, 132), true);
        default:
            return {};
    }
}

}  // namespace

QImage LookPicture(UIStyle look, int entry, int frame, int frames) {
    QImage picture;
    if (GetInsideThemeBitmap(look, entry, picture, frame, frames))
        return picture;
    picture = PlainPicture(entry);
    return frames != 0 ? SpitBitmap(picture, frames, frame) : picture;
}
