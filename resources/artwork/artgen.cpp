// Draws the pictures that lie beside the executable: the five device pictures shown in the
// preview pane and the row background of the media list.
//   artgen <output folder>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

#include "JpegWriter.h"

namespace {

struct Device {
    const char* file;
    const char* name;
    const char* line;
    QColor tint;
};

QImage DevicePicture(const Device& d) {
    QImage image(283, 205, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 205);
    sky.setColorAt(0, d.tint.lighter(150));
    sky.setColorAt(1, d.tint.darker(220));
    p.fillRect(image.rect(), sky);

    // A stylised player: a rounded body with a screen.
    QRectF body(86, 30, 111, 100);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.setBrush(QColor(20, 24, 32, 210));
    p.drawRoundedRect(body, 12, 12);
    QRectF screen = body.adjusted(10, 10, -10, -30);
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0, d.tint.lighter(170));
    glass.setColorAt(1, d.tint);
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawRoundedRect(screen, 4, 4);
    QPainterPath play;
    const QPointF c = screen.center();
    play.moveTo(c.x() - 9, c.y() - 12);
    play.lineTo(c.x() + 13, c.y());
    play.lineTo(c.x() - 9, c.y() + 12);
    play.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawPath(play);
    p.setBrush(QColor(255, 255, 255, 160));
    p.drawEllipse(QPointF(body.center().x(), body.bottom() - 12), 7, 7);

    QFont title("DejaVu Sans", 20, QFont::Bold);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 136, 283, 34), Qt::AlignCenter, d.name);
    QFont small("DejaVu Sans", 9);
    p.setFont(small);
    p.setPen(QColor(235, 240, 255));
    p.drawText(QRect(0, 170, 283, 24), Qt::AlignCenter, d.line);
    return image;
}

// A light strip behind each row's still: a soft frame that reads as a slide holder.
QImage RowBackground() {
    QImage image(86, 56, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 56);
    g.setColorAt(0, QColor(246, 248, 252));
    g.setColorAt(1, QColor(222, 228, 238));
    p.fillRect(image.rect(), g);
    p.setPen(QColor(180, 188, 204));
    p.drawRect(0, 0, 85, 55);
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
        {"3GP.jpg", "3GP", "Mobile phones: 3GP and 3G2", QColor(40, 120, 200)},
        {"PSP.jpg", "PSP", "PlayStation Portable", QColor(70, 70, 90)},
        {"IPOD.jpg", "iPod", "iPod video", QColor(150, 150, 160)},
        {"PDA.jpg", "PDA", "Pocket PC handhelds", QColor(40, 150, 110)},
        {"MP4.jpg", "MP4", "PCs and other players", QColor(200, 100, 40)},
    };
    bool ok = true;
    for (const Device& d : devices) ok = WriteJpeg(DevicePicture(d), out + d.file, 90) && ok;
    ok = RowBackground().save(out + "backblank.bmp", "BMP") && ok;
    return ok ? 0 : 1;
}
