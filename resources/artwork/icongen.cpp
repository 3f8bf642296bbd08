// Draws the program's icon for the desktop's menu and windows: PNG pictures at the sizes the
// icon theme asks for and a scalable SVG, all from the one drawing below.
//   icongen <output folder> <icon name>
// writes <output folder>/<size>x<size>/apps/<icon name>.png and
// <output folder>/scalable/apps/<icon name>.svg, the layout of an icon theme.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cstdio>

namespace {

// The icon on a 256 x 256 canvas: a blue tile, a film frame with a play mark, and an orange
// arrow towards a small player. Below 32 pixels only the tile and the play mark are drawn, so
// the picture stays readable.
void DrawIcon(QPainter& p, int pixels) {
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 256.0, pixels / 256.0);
    const bool small = pixels < 32;

    const QRectF tile(8, 8, 240, 240);
    QLinearGradient blue(tile.topLeft(), tile.bottomRight());
    blue.setColorAt(0, QColor(58, 134, 214));
    blue.setColorAt(1, QColor(20, 58, 128));
    p.setPen(QPen(QColor(12, 36, 84), small ? 12 : 4));
    p.setBrush(blue);
    p.drawRoundedRect(tile, 44, 44);

    QPainterPath play;
    if (small) {
        play.moveTo(88, 60);
        play.lineTo(196, 128);
        play.lineTo(88, 196);
        play.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(play);
        return;
    }

    // The film frame with its sprocket holes.
    const QRectF film(34, 52, 128, 104);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(245, 247, 250));
    p.drawRoundedRect(film, 12, 12);
    p.setBrush(QColor(30, 64, 120));
    for (int i = 0; i < 5; ++i) {
        p.drawRoundedRect(QRectF(44 + i * 23, 58, 13, 10), 2, 2);
        p.drawRoundedRect(QRectF(44 + i * 23, 140, 13, 10), 2, 2);
    }
    play.moveTo(82, 80);
    play.lineTo(126, 104);
    play.lineTo(82, 128);
    play.closeSubpath();
    p.setBrush(QColor(232, 96, 28));
    p.drawPath(play);

    // The arrow from the film down to the player.
    QPainterPath arrow;
    arrow.moveTo(92, 170);
    arrow.quadTo(96, 206, 140, 206);
    arrow.lineTo(140, 222);
    arrow.lineTo(170, 196);
    arrow.lineTo(140, 170);
    arrow.lineTo(140, 186);
    arrow.quadTo(112, 186, 112, 170);
    arrow.closeSubpath();
    p.setBrush(QColor(250, 170, 40));
    p.drawPath(arrow);

    // The player: a small device with a bright screen.
    const QRectF player(172, 112, 58, 110);
    p.setBrush(QColor(34, 38, 46));
    p.setPen(QPen(QColor(200, 210, 225), 3));
    p.drawRoundedRect(player, 12, 12);
    p.setPen(Qt::NoPen);
    QLinearGradient screen(QPointF(180, 122), QPointF(222, 170));
    screen.setColorAt(0, QColor(140, 220, 255));
    screen.setColorAt(1, QColor(40, 140, 210));
    p.setBrush(screen);
    p.drawRoundedRect(QRectF(180, 122, 42, 50), 4, 4);
    p.setBrush(QColor(200, 210, 225));
    p.drawEllipse(QPointF(201, 196), 12, 12);
}

bool WritePng(const QString& folder, const QString& name, int pixels) {
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(pixels);
    QDir().mkpath(dir);
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    DrawIcon(p, pixels);
    p.end();
    return image.save(dir + '/' + name + ".png");
}

bool WriteSvg(const QString& folder, const QString& name) {
    const QString dir = folder + "/scalable/apps";
    QDir().mkpath(dir);
    QSvgGenerator svg;
    svg.setFileName(dir + '/' + name + ".svg");
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Qor Converter"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    DrawIcon(p, 256);
    return p.end();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: icongen <output folder> <icon name>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int pixels : {16, 32, 48, 64, 128, 256}) {
        if (!WritePng(folder, name, pixels)) {
            std::fprintf(stderr, "icongen: cannot write the %d pixel icon\n", pixels);
            return 1;
        }
    }
    if (!WriteSvg(folder, name)) {
        std::fprintf(stderr, "icongen: cannot write the scalable icon\n");
        return 1;
    }
    return 0;
}
