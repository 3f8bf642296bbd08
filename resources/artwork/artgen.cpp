// Draws the pictures that lie beside the executable: the five device pictures shown in the
// preview pane and the row background of the media list.
//   artgen <output folder>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

#include "JpegWriter.h"

namespace {

struct Device {
    const char* file;
    const char* name;
    const char* line;
    QColor tint;
    const char* kind;
};

// The picture on a device's screen: a small landscape under the family's colour with a play mark.
void Screen(QPainter& p, const QRectF& screen, const QColor& tint) {
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(screen, 3, 3);
    p.setClipPath(clip);
    QLinearGradient sky(screen.topLeft(), screen.bottomLeft());
    sky.setColorAt(0, tint.lighter(175));
    sky.setColorAt(1, tint);
    p.fillRect(screen, sky);
    QPainterPath hills;
    hills.moveTo(screen.left(), screen.bottom());
    hills.lineTo(screen.left(), screen.bottom() - screen.height() * 0.25);
    hills.quadTo(screen.left() + screen.width() * 0.3, screen.bottom() - screen.height() * 0.55,
                 screen.left() + screen.width() * 0.6, screen.bottom() - screen.height() * 0.3);
    hills.quadTo(screen.left() + screen.width() * 0.8, screen.bottom() - screen.height() * 0.2,
                 screen.right(), screen.bottom() - screen.height() * 0.35);
    hills.lineTo(screen.right(), screen.bottom());
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(tint.darker(160));
    p.drawPath(hills);
    const QPointF c = screen.center();
    const qreal r = std::min(screen.width(), screen.height()) * 0.22;
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawEllipse(c, r * 1.5, r * 1.5);
    QPainterPath play;
    play.moveTo(c.x() - r * 0.5, c.y() - r * 0.75);
    play.lineTo(c.x() + r * 0.8, c.y());
    play.lineTo(c.x() - r * 0.5, c.y() + r * 0.75);
    play.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(play);
    p.restore();
}

// A device in the family's shape, centred on (cx, cy), drawn in glossy graphite.
void DrawDevice(QPainter& p, const Device& d, qreal cx, qreal cy) {
    const QString kind = QString::fromLatin1(d.kind);
    QRectF body, screen;
    qreal radius = 10;
    if (kind == "phone") {
        body = QRectF(cx - 34, cy - 60, 68, 120);
        screen = QRectF(body.left() + 7, body.top() + 14, 54, 48);
    } else if (kind == "handheld") {
        body = QRectF(cx - 96, cy - 38, 192, 76);
        radius = 36;
        screen = QRectF(cx - 50, cy - 28, 100, 56);
    } else if (kind == "pod") {
        body = QRectF(cx - 40, cy - 62, 80, 124);
        screen = QRectF(body.left() + 8, body.top() + 8, 64, 50);
    } else if (kind == "pda") {
        body = QRectF(cx - 44, cy - 62, 88, 124);
        radius = 8;
        screen = QRectF(body.left() + 8, body.top() + 10, 72, 84);
    } else {
        body = QRectF(cx - 80, cy - 58, 160, 100);
        radius = 6;
        screen = QRectF(body.left() + 6, body.top() + 6, 148, 88);
    }
    // Shadow, body and a light edge.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(body.translated(3, 5), radius, radius);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    const bool light = kind == "pod";
    metal.setColorAt(0, light ? QColor(250, 251, 253) : QColor(74, 82, 98));
    metal.setColorAt(1, light ? QColor(196, 202, 212) : QColor(22, 26, 34));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1.5));
    p.setBrush(metal);
    p.drawRoundedRect(body, radius, radius);
    Screen(p, screen, d.tint);

    p.setPen(Qt::NoPen);
    const QColor detail = light ? QColor(150, 156, 168) : QColor(110, 120, 138);
    if (kind == "phone") {
        p.setBrush(detail);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                p.drawRoundedRect(
                    QRectF(body.left() + 12 + col * 16, body.top() + 70 + row * 14, 12, 9), 2, 2);
    } else if (kind == "handheld") {
        p.setBrush(detail);
        p.drawEllipse(QPointF(body.left() + 24, cy), 10, 10);
        for (int i = 0; i < 4; ++i) {
            const qreal a = i * 3.14159 / 2;
            p.drawEllipse(QPointF(body.right() - 24 + 9 * std::cos(a), cy + 9 * std::sin(a)), 4, 4);
        }
    } else if (kind == "pod") {
        p.setBrush(QColor(232, 235, 240));
        p.setPen(QPen(detail, 1));
        p.drawEllipse(QPointF(cx, body.top() + 92), 22, 22);
        p.setBrush(QColor(210, 214, 222));
        p.drawEllipse(QPointF(cx, body.top() + 92), 8, 8);
    } else if (kind == "pda") {
        p.setBrush(detail);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(body.left() + 16 + i * 19, body.bottom() - 14), 5, 5);
        p.setPen(QPen(QColor(200, 206, 216), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(body.right() + 12, body.top() + 6),
                   QPointF(body.right() + 12, body.bottom() - 20));
    } else {
        p.setBrush(QColor(40, 46, 58));
        p.drawRect(QRectF(cx - 8, body.bottom(), 16, 10));
        p.drawRoundedRect(QRectF(cx - 36, body.bottom() + 10, 72, 6), 3, 3);
    }
}

QImage DevicePicture(const Device& d) {
    QImage image(283, 205, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // The stage: the launcher's navy with a spotlight in the family's colour.
    QLinearGradient stage(0, 0, 0, 205);
    stage.setColorAt(0, QColor(36, 58, 96));
    stage.setColorAt(1, QColor(12, 20, 36));
    p.fillRect(image.rect(), stage);
    QRadialGradient spot(QPointF(141, 78), 150);
    QColor glow = d.tint;
    glow.setAlpha(150);
    spot.setColorAt(0, glow);
    spot.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(image.rect(), spot);
    // The floor the device stands on.
    p.fillRect(QRectF(0, 150, 283, 55), QColor(0, 0, 0, 90));
    p.fillRect(QRectF(0, 150, 283, 1), QColor(255, 255, 255, 40));

    DrawDevice(p, d, 141, 78);

    p.setFont([] {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(24);
        f.setBold(true);
        return f;
    }());
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(QRect(0, 153, 283, 30), Qt::AlignCenter, d.name);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 152, 283, 30), Qt::AlignCenter, d.name);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(12);
    p.setFont(small);
    p.setPen(QColor(206, 220, 242));
    p.drawText(QRect(0, 180, 283, 20), Qt::AlignCenter, d.line);
    return image;
}

// The slot behind each row's still: a piece of film with sprocket holes and a faint play mark,
// seen where the still does not cover it or when a still is missing.
QImage RowBackground() {
    QImage image(86, 56, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 56);
    g.setColorAt(0, QColor(54, 62, 78));
    g.setColorAt(1, QColor(30, 36, 48));
    p.fillRect(image.rect(), g);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(226, 232, 242));
    for (int i = 0; i < 6; ++i) {
        p.drawRoundedRect(QRectF(3 + i * 14, 2, 7, 4), 1, 1);
        p.drawRoundedRect(QRectF(3 + i * 14, 50, 7, 4), 1, 1);
    }
    p.setBrush(QColor(255, 255, 255, 60));
    QPainterPath play;
    play.moveTo(37, 19);
    play.lineTo(52, 28);
    play.lineTo(37, 37);
    play.closeSubpath();
    p.drawPath(play);
    p.setPen(QColor(20, 24, 32));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 85, 55));
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: artgen <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]) + "/";
    const Device devices[] = {
        {"3GP.jpg", "3GP", "Mobile phones: 3GP and 3G2", QColor(34, 116, 206), "phone"},
        {"PSP.jpg", "PSP", "PlayStation Portable", QColor(96, 104, 140), "handheld"},
        {"IPOD.jpg", "iPod", "iPod video", QColor(128, 134, 150), "pod"},
        {"PDA.jpg", "PDA", "Pocket PC handhelds", QColor(30, 146, 112), "pda"},
        {"MP4.jpg", "MP4", "PCs and other players", QColor(214, 112, 36), "monitor"},
    };
    bool ok = true;
    for (const Device& d : devices)
        ok = WriteJpeg(DevicePicture(d), out + d.file, 90) && ok;
    ok = RowBackground().save(out + "backblank.bmp", "BMP") && ok;
    return ok ? 0 : 1;
}
