// Draws the product's skin: the bitmaps of the launcher, the converter window and the custom
// profile editor (fuchsia outside each window's shape), the normal, pointer-over and pressed
// pictures of every image button, and the watermark behind the media list. The pictures are
// written as PNG files with a Qt resource list, which the build compiles into the program.
//   skingen <output folder> [--sheet <png>]
// With --sheet it also writes one picture of every button in its three states, enlarged three
// times, for reviewing the artwork.
//
// Every button is drawn over the part of its window's bitmap that lies under it, so its smooth
// edges blend into the window; the area outside a transparent button's shape is then set to
// fuchsia, the key colour the button takes from its top-left pixel.
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/LauncherFamilies.h"
#include "skin/Dimming.h"

namespace {

const QRgb kKey = qRgb(255, 0, 255);

// The skin's colours, shared by all three windows.
namespace ink {
const QColor frame(38, 52, 76);
const QColor titleTop(246, 249, 253);
const QColor titleBottom(203, 216, 235);
const QColor accent(38, 112, 204);
const QColor bodyTop(232, 235, 240);
const QColor bodyBottom(208, 213, 221);
const QColor panelLine(150, 160, 176);
const QColor navyTop(36, 58, 96);
const QColor navyBottom(16, 27, 48);
const QColor deck(30, 36, 48);
const QColor go(40, 158, 86);
const QColor halt(206, 56, 48);
}  // namespace ink

QFont Font(qreal pixels, bool bold = true) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(int(std::lround(pixels)));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The largest DejaVu size from `pixels` down to 7 at which `text` fits into `width`.
QFont FitFont(const QString& text, qreal width, qreal pixels, bool bold = true) {
    QFont font = Font(pixels, bold);
    while (pixels > 7 && QFontMetricsF(font).horizontalAdvance(text) > width) {
        pixels -= 0.5;
        font = Font(pixels, bold);
    }
    return font;
}

QPainterPath Rounded(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& a, const QColor& b) {
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, a);
    g.setColorAt(1, b);
    return g;
}

// Window pictures are drawn with soft edges on a transparent canvas; keying then makes every
// pixel that is less than half covered fuchsia and every other pixel fully opaque.
QImage KeyOut(const QImage& canvas) {
    QImage out(canvas.size(), QImage::Format_RGB32);
    const QImage src = canvas.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            QRgb c = qAlpha(in[x]) < 128 ? kKey : qRgb(qRed(in[x]), qGreen(in[x]), qBlue(in[x]));
            if (c == kKey && qAlpha(in[x]) >= 128)
                c = qRgb(254, 0, 254);  // never key out a pixel that belongs to the window
            row[x] = c;
        }
    }
    // The last column is never part of a window; keep it key-coloured so the picture says so.
    for (int y = 0; y < out.height(); ++y)
        reinterpret_cast<QRgb*>(out.scanLine(y))[out.width() - 1] = kKey;
    return out;
}

QImage Canvas(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A sunken panel: darker rim above, light rim below, framing an area of a layout.
void Inset(QPainter& p, const QRectF& r, qreal radius, const QBrush& fill) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawPath(Rounded(r.adjusted(-1, -1, 1, 2), radius + 1));
    p.setBrush(ink::panelLine);
    p.drawPath(Rounded(r.adjusted(-1, -1, 1, 1), radius + 1));
    p.setBrush(fill);
    p.drawPath(Rounded(r, radius));
}

// The common frame: a dark outline, a light title bar with an accent rule and a light body.
void Frame(QPainter& p, const QPainterPath& shape, const QRectF& bounds, qreal titleBottom,
           const QBrush& body) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink::frame);
    p.drawPath(shape);
    const QPainterPath inner = Rounded(bounds.adjusted(2, 2, -2, -2), 14);
    p.setBrush(body);
    p.drawPath(inner);
    p.save();
    p.setClipPath(inner);
    p.fillRect(QRectF(bounds.left(), bounds.top(), bounds.width(), titleBottom - bounds.top()),
               Vertical(bounds.top(), titleBottom, ink::titleTop, ink::titleBottom));
    p.fillRect(QRectF(bounds.left(), titleBottom, bounds.width(), 2), ink::accent);
    p.fillRect(QRectF(bounds.left(), titleBottom + 2, bounds.width(), 1),
               QColor(255, 255, 255, 120));
    p.restore();
}

// The product's mark: a blue disc with a play triangle.
void Logo(QPainter& p, const QPointF& c, qreal r) {
    QRadialGradient g(c - QPointF(r * 0.35, r * 0.45), r * 1.6);
    g.setColorAt(0, QColor(120, 190, 255));
    g.setColorAt(1, QColor(20, 84, 170));
    p.setPen(QPen(QColor(255, 255, 255, 200), std::max(1.0, r / 14)));
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    QPainterPath play;
    play.moveTo(c.x() - r * 0.32, c.y() - r * 0.45);
    play.lineTo(c.x() + r * 0.50, c.y());
    play.lineTo(c.x() - r * 0.32, c.y() + r * 0.45);
    play.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(play);
}

// ---------------------------------------------------------------------------------------------
// Window bitmaps

QImage Launcher() {
    const QSize size(648, 452);
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF main(4, 4, 468, 443);
    const QRectF rail(440, 30, 195, 392);
    QPainterPath shape = Rounded(main, 18).united(Rounded(rail, 16));
    const QRectF bounds(4, 4, 631, 443);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::frame);
    p.drawPath(shape);

    // The device rail: a steel-blue column the family buttons stand on.
    const QPainterPath railInner = Rounded(rail.adjusted(2, 2, -2, -2), 14);
    p.setBrush(Vertical(rail.top(), rail.bottom(), QColor(92, 112, 142), QColor(54, 70, 96)));
    p.drawPath(railInner);
    p.setFont(Font(10));
    p.setPen(QColor(214, 226, 244));
    p.drawText(QRectF(466, 34, 160, 14), Qt::AlignCenter, QStringLiteral("CHOOSE YOUR DEVICE"));

    // The main body: navy, with the light title bar of the skin.
    const QPainterPath body = Rounded(main.adjusted(2, 2, -2, -2), 16);
    p.setBrush(Vertical(main.top(), main.bottom(), ink::navyTop, ink::navyBottom));
    p.drawPath(body);
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(6, 6, 464, 40), Vertical(6, 46, ink::titleTop, ink::titleBottom));
    p.fillRect(QRectF(6, 46, 464, 2), ink::accent);
    p.restore();
    Logo(p, QPointF(24, 26), 10);
    p.setFont(Font(13));
    p.setPen(ink::frame);
    p.drawText(QRectF(42, 16, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Qor Converter"));

    // The banner: the mark, the product's name and the families the launcher offers.
    QRadialGradient glow(QPointF(96, 124), 90);
    glow.setColorAt(0, QColor(80, 140, 220, 110));
    glow.setColorAt(1, QColor(80, 140, 220, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(96, 124), 90, 80);
    Logo(p, QPointF(96, 124), 44);
    p.setPen(Qt::white);
    p.setFont(Font(30));
    p.drawText(QRectF(160, 68, 290, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Qor"));
    p.setFont(Font(17, false));
    p.setPen(QColor(214, 228, 250));
    p.drawText(QRectF(160, 106, 290, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Video Converter"));
    qreal x = 160;
    p.setFont(Font(10));
    for (const LauncherFamily& family : kLauncherFamilies) {
        const char* f = family.name;
        const qreal w = QFontMetricsF(p.font()).horizontalAdvance(f) + 12;
        p.setPen(QPen(QColor(150, 190, 240), 1));
        p.setBrush(QColor(255, 255, 255, 28));
        p.drawRoundedRect(QRectF(x + 0.5, 142.5, w, 18), 9, 9);
        p.setPen(Qt::white);
        p.drawText(QRectF(x, 142, w, 19), Qt::AlignCenter, f);
        x += w + 6;
    }

    // The description panel behind the two description labels and the footer caption.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawRoundedRect(QRectF(27, 205, 398, 183), 10, 10);
    p.setBrush(Vertical(206, 387, QColor(18, 30, 54), QColor(28, 44, 74)));
    p.drawRoundedRect(QRectF(28, 206, 396, 182), 9, 9);
    p.end();
    return KeyOut(image);
}

QImage Converter() {
    const QSize size(778, 597);
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(1, 1, 775, 594);
    QPainterPath shape = Rounded(bounds, 16);
    Frame(p, shape, bounds, 29, Vertical(30, 595, ink::bodyTop, ink::bodyBottom));
    Logo(p, QPointF(17, 15), 8);

    // The media list's well and the preview deck.
    Inset(p, QRectF(26, 38, 439, 301), 4, Qt::white);
    p.setPen(Qt::NoPen);
    p.setBrush(ink::panelLine);
    p.drawRoundedRect(QRectF(469, 33, 295, 306), 11, 11);
    p.setBrush(Vertical(34, 338, QColor(58, 66, 82), ink::deck));
    p.drawRoundedRect(QRectF(470, 34, 293, 304), 10, 10);
    p.setBrush(QColor(0, 0, 0));
    p.drawRect(QRectF(474, 36, 285, 207));
    p.setBrush(QColor(20, 24, 32));
    p.drawRoundedRect(QRectF(477, 248, 282, 26), 5, 5);

    // The file buttons' tray and the output row.
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(30, 341, 152, 49), 8, 8);

    // The settings area and the progress area.
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(18, 400, 735, 126), 8, 8);
    Inset(p, QRectF(24, 536, 584, 53), 6,
          Vertical(536, 589, QColor(224, 229, 236), QColor(240, 243, 247)));
    p.setFont(Font(9));
    p.setPen(QColor(70, 80, 98));
    p.drawText(QRectF(30, 541, 40, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("File"));
    p.drawText(QRectF(30, 554, 40, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Total"));

    // The dock the Run button sits in: a round well at the lower right.
    QRadialGradient well(QPointF(687, 518), 70);
    well.setColorAt(0.80, QColor(150, 160, 176));
    well.setColorAt(0.92, QColor(120, 130, 148));
    well.setColorAt(1.0, QColor(120, 130, 148, 0));
    p.setBrush(well);
    p.drawEllipse(QPointF(687, 518), 70, 70);
    p.end();
    return KeyOut(image);
}

QImage Profile() {
    const QSize size(483, 314);
    QImage image = Canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(1, 1, 480, 311);
    Frame(p, Rounded(bounds, 14), bounds, 26, Vertical(27, 312, ink::bodyTop, ink::bodyBottom));
    Logo(p, QPointF(16, 14), 7);
    p.setFont(Font(11));
    p.setPen(ink::frame);
    p.drawText(QRectF(30, 4, 300, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Custom Profile"));

    // The settings of the profile, its name, and the row of the two buttons.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(10, 40, 461, 142), 8, 8);
    p.drawRoundedRect(QRectF(10, 194, 461, 48), 8, 8);
    p.setBrush(ink::panelLine);
    p.drawRect(QRectF(20, 254, 441, 1));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawRect(QRectF(20, 255, 441, 1));
    p.end();
    return KeyOut(image);
}

// ---------------------------------------------------------------------------------------------
// Symbols, drawn into a box in a given ink

using Symbol = std::function<void(QPainter&, const QRectF&, const QColor&)>;

void Triangle(QPainter& p, const QPointF& a, const QPointF& b, const QPointF& c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    p.drawPath(path);
}

void Play(QPainter& p, const QRectF& r, const QColor& c) {
    p.setPen(QPen(c, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c);
    const qreal h = std::min(r.width(), r.height());
    const QPointF m = r.center();
    Triangle(p, {m.x() - h * 0.30, m.y() - h * 0.42}, {m.x() + h * 0.45, m.y()},
             {m.x() - h * 0.30, m.y() + h * 0.42});
}

// Two upright bars: the play button's face while the preview plays.
void Pause(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height());
    const QPointF m = r.center();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (const qreal side : {-1.0, 1.0}) {
        p.drawRoundedRect(
            QRectF(m.x() + side * h * 0.18 - h * 0.12, m.y() - h * 0.38, h * 0.24, h * 0.76), 1.5,
            1.5);
    }
}

void Square(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height()) * 0.72;
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(r.center().x() - h / 2, r.center().y() - h / 2, h, h), 1.5, 1.5);
}

// A bracket with a small triangle pointing into the kept part: start "[>" or end "<]".
void Mark(QPainter& p, const QRectF& r, const QColor& c, bool start) {
    const qreal h = std::min(r.width(), r.height());
    const QPointF m = r.center();
    const qreal s = start ? 1 : -1;
    const qreal bx = m.x() - s * h * 0.34;
    p.setPen(QPen(c, std::max(2.0, h * 0.12), Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF bracket[] = {{bx + s * h * 0.16, m.y() - h * 0.42},
                               {bx, m.y() - h * 0.42},
                               {bx, m.y() + h * 0.42},
                               {bx + s * h * 0.16, m.y() + h * 0.42}};
    p.drawPolyline(bracket, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const qreal tx = bx + s * h * 0.22;
    Triangle(p, {tx, m.y() - h * 0.26}, {tx + s * h * 0.42, m.y()}, {tx, m.y() + h * 0.26});
}

void Plus(QPainter& p, const QPointF& m, qreal h, const QColor& c, bool vertical) {
    p.setPen(QPen(c, std::max(2.0, h * 0.22), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m.x() - h / 2, m.y()), QPointF(m.x() + h / 2, m.y()));
    if (vertical)
        p.drawLine(QPointF(m.x(), m.y() - h / 2), QPointF(m.x(), m.y() + h / 2));
}

// A film frame with a green plus or a red minus badge.
void Film(QPainter& p, const QRectF& r, const QColor& c, bool add) {
    const QRectF film(r.center().x() - r.height() * 0.62, r.top() + r.height() * 0.12,
                      r.height() * 1.1, r.height() * 0.78);
    p.setPen(QPen(c, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(film, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    for (int i = 0; i < 4; ++i) {
        const qreal y = film.top() + 2 + i * (film.height() - 4) / 4;
        p.drawRect(QRectF(film.left() + 2, y + 0.5, 2, 2));
        p.drawRect(QRectF(film.right() - 4, y + 0.5, 2, 2));
    }
    const QPointF badge(film.right() - 1, film.bottom() - 2);
    const qreal br = r.height() * 0.30;
    p.setPen(QPen(Qt::white, 1.2));
    p.setBrush(add ? ink::go : ink::halt);
    p.drawEllipse(badge, br, br);
    Plus(p, badge, br * 1.1, Qt::white, add);
}

void Folder(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height());
    const QRectF f(r.center().x() - h * 0.5, r.center().y() - h * 0.34, h, h * 0.72);
    p.setPen(Qt::NoPen);
    p.setBrush(c.darker(125));
    p.drawRoundedRect(QRectF(f.left(), f.top(), f.width() * 0.45, f.height() * 0.4), 1, 1);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(f.left(), f.top() + f.height() * 0.2, f.width(), f.height() * 0.8), 1,
                      1);
}

// Three sliders: the settings of a profile.
void Sliders(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height());
    const QPointF m = r.center();
    const qreal knobs[] = {0.3, 0.7, 0.45};
    for (int i = 0; i < 3; ++i) {
        const qreal y = m.y() - h * 0.32 + i * h * 0.32;
        p.setPen(QPen(c, 1.2));
        p.drawLine(QPointF(m.x() - h * 0.5, y), QPointF(m.x() + h * 0.5, y));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawEllipse(QPointF(m.x() - h * 0.5 + knobs[i] * h, y), h * 0.13, h * 0.13);
    }
}

void Info(QPainter& p, const QRectF& r, const QColor& c, const QString& letter) {
    const qreal h = std::min(r.width(), r.height());
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(r.center(), h / 2, h / 2);
    p.setFont(Font(h * 0.78));
    p.setPen(ink::accent.darker(140));
    p.drawText(r.adjusted(0, 0.5, 0, 0), Qt::AlignCenter, letter);
}

void House(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height());
    const QPointF m = r.center();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    Triangle(p, {m.x() - h * 0.55, m.y() - h * 0.02}, {m.x(), m.y() - h * 0.52},
             {m.x() + h * 0.55, m.y() - h * 0.02});
    p.drawRect(QRectF(m.x() - h * 0.36, m.y() - h * 0.05, h * 0.72, h * 0.52));
    p.setBrush(ink::accent.darker(140));
    p.drawRect(QRectF(m.x() - h * 0.1, m.y() + h * 0.15, h * 0.2, h * 0.32));
}

void Envelope(QPainter& p, const QRectF& r, const QColor& c) {
    const qreal h = std::min(r.width(), r.height());
    const QRectF e(r.center().x() - h * 0.6, r.center().y() - h * 0.38, h * 1.2, h * 0.76);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(e, 1, 1);
    p.setPen(QPen(ink::accent.darker(140), 1.2));
    p.setBrush(Qt::NoBrush);
    const QPointF flap[] = {e.topLeft() + QPointF(0.5, 0.5),
                            {e.center().x(), e.center().y() + 1},
                            e.topRight() + QPointF(-0.5, 0.5)};
    p.drawPolyline(flap, 3);
}

void Cross(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    const qreal h = std::min(r.width(), r.height()) / 2;
    const QPointF m = r.center();
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(m.x() - h, m.y() - h), QPointF(m.x() + h, m.y() + h));
    p.drawLine(QPointF(m.x() + h, m.y() - h), QPointF(m.x() - h, m.y() + h));
}

void Dash(QPainter& p, const QRectF& r, const QColor& c, qreal width) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(r.left(), r.bottom()), QPointF(r.right(), r.bottom()));
}

// Small device outlines for the launcher's family buttons.
void Device(QPainter& p, const QRectF& r, const QColor& c, const QString& kind) {
    p.setPen(QPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    const QPointF m = r.center();
    if (kind == "3GP") {  // a phone with a keypad
        const QRectF body(m.x() - 9, m.y() - 17, 18, 34);
        p.drawRoundedRect(body, 3, 3);
        p.drawRect(QRectF(body.left() + 3, body.top() + 4, 12, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col)
                p.drawRect(
                    QRectF(body.left() + 3.5 + col * 4.2, body.top() + 18 + row * 4, 2.4, 2.4));
        }
    } else if (kind == "PSP") {  // a wide handheld
        const QRectF body(m.x() - 19, m.y() - 9, 38, 18);
        p.drawRoundedRect(body, 8, 8);
        p.drawRect(QRectF(m.x() - 9, m.y() - 5, 18, 10));
    } else if (kind == "iPod") {  // screen and click wheel
        const QRectF body(m.x() - 11, m.y() - 17, 22, 34);
        p.drawRoundedRect(body, 4, 4);
        p.drawRect(QRectF(body.left() + 3, body.top() + 3, 16, 11));
        p.drawEllipse(QPointF(m.x(), body.top() + 24), 6, 6);
    } else if (kind == "PDA") {  // a tall screen and a stylus
        const QRectF body(m.x() - 12, m.y() - 17, 24, 34);
        p.drawRoundedRect(body, 3, 3);
        p.drawRect(QRectF(body.left() + 3, body.top() + 3, 18, 22));
        p.drawLine(QPointF(body.right() + 4, body.top()),
                   QPointF(body.right() + 4, body.bottom() - 4));
    } else {  // a monitor
        const QRectF screen(m.x() - 18, m.y() - 15, 36, 25);
        p.drawRoundedRect(screen, 2, 2);
        p.drawLine(QPointF(m.x(), screen.bottom()), QPointF(m.x(), screen.bottom() + 5));
        p.drawLine(QPointF(m.x() - 8, screen.bottom() + 6),
                   QPointF(m.x() + 8, screen.bottom() + 6));
    }
}

// ---------------------------------------------------------------------------------------------
// Buttons

enum class Face { Glass, Round, Card, Link, TitleBar, Bare, Dock };

struct Button {
    const char* window;
    const char* name;
    int left, top, width, height;
    bool transparent;
    Face face;
    QColor tint;
    const char* caption;
    const char* subline;
    Symbol symbol;
};

// Fills `path` as a glossy face of `tint` in state 0 (normal), 1 (pointer over) or 2 (pressed).
void Gloss(QPainter& p, const QPainterPath& path, const QColor& tint, int state) {
    const QRectF r = path.boundingRect();
    QColor top = tint.lighter(state == 1 ? 165 : 140);
    QColor bottom = tint.darker(state == 2 ? 145 : 112);
    if (state == 2)
        top = tint.darker(118);
    p.setPen(QPen(tint.darker(state == 2 ? 190 : 165), 1));
    p.setBrush(Vertical(r.top(), r.bottom(), top, bottom));
    p.drawPath(path);
    // A soft highlight on the upper half, weaker when pressed.
    p.save();
    p.setClipPath(path);
    QLinearGradient shine(0, r.top(), 0, r.center().y());
    shine.setColorAt(0, QColor(255, 255, 255, state == 2 ? 30 : 110));
    shine.setColorAt(1, QColor(255, 255, 255, state == 2 ? 0 : 25));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() / 2));
    p.restore();
}

void Caption(QPainter& p, const QRectF& r, const QString& text, const QFont& font,
             const QColor& color) {
    p.setFont(font);
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(r.translated(0, 1), Qt::AlignCenter, text);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

// The face of `b` in one state, in button coordinates; `shape` receives the outline that
// belongs to the button.
void DrawFace(QPainter& p, const Button& b, int state, QPainterPath& shape) {
    const QRectF all(0, 0, b.width, b.height);
    const qreal shift = state == 2 ? 1 : 0;
    const QColor glyph = Qt::white;
    switch (b.face) {
        case Face::Glass: {  // rounded glass buttons with a symbol and a word
            shape = Rounded(all.adjusted(0.5, 0.5, -0.5, -0.5), std::min(8.0, b.height / 3.0));
            Gloss(p, shape, b.tint, state);
            const QRectF inner = all.adjusted(3, 2 + shift, -3, -2 + shift);
            if (b.height >= 40) {  // symbol above, word below
                b.symbol(p,
                         QRectF(inner.left(), inner.top() + 2, inner.width(), inner.height() - 17),
                         glyph);
                Caption(p, QRectF(inner.left(), inner.bottom() - 15, inner.width(), 14),
                        QString::fromLatin1(b.caption), Font(11), glyph);
            } else {  // symbol at the left, word beside it
                const qreal icon = inner.height() - 6;
                const QString text = QString::fromLatin1(b.caption);
                const QFont font = FitFont(text, inner.width() - icon - 5, 11);
                const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
                const qreal startX = inner.left() + (inner.width() - icon - 3 - textWidth) / 2;
                b.symbol(p, QRectF(startX, inner.top() + 3, icon, icon), glyph);
                Caption(p, QRectF(startX + icon + 3, inner.top(), textWidth + 1, inner.height()),
                        text, font, glyph);
            }
            break;
        }
        case Face::Round: {  // round transport buttons
            const qreal d = std::min(b.width, b.height) - 1;
            const QRectF disc((b.width - d) / 2, (b.height - d) / 2, d, d);
            shape.addEllipse(disc);
            Gloss(p, shape, b.tint, state);
            b.symbol(p, disc.adjusted(d * 0.26, d * 0.26 + shift, -d * 0.26, -d * 0.26 + shift),
                     glyph);
            break;
        }
        case Face::Card: {  // the launcher's family buttons
            shape = Rounded(all.adjusted(0.5, 0.5, -0.5, -0.5), 10);
            Gloss(p, shape, b.tint, state);
            Device(p, QRectF(6, 8 + shift, 40, 50), glyph, QString::fromLatin1(b.caption));
            Caption(p, QRectF(46, 10 + shift, b.width - 50, 30), QString::fromLatin1(b.caption),
                    Font(24), glyph);
            Caption(p, QRectF(46, 40 + shift, b.width - 50, 14), QString::fromLatin1(b.subline),
                    FitFont(QString::fromLatin1(b.subline), b.width - 52, 10, false),
                    QColor(240, 245, 255));
            break;
        }
        case Face::Link: {  // the launcher's small link pills
            shape = Rounded(all.adjusted(0.5, 0.5, -0.5, -0.5), b.height / 2.0 - 1);
            QColor tint = b.tint;
            p.setPen(QPen(QColor(150, 190, 240, state ? 230 : 150), 1));
            p.setBrush(state == 2 ? QColor(20, 40, 80) : state == 1 ? tint.lighter(130) : tint);
            p.drawPath(shape);
            const QRectF inner = all.adjusted(4, 0 + shift, -4, shift);
            const qreal icon = 12;
            const QString text = QString::fromLatin1(b.caption);
            const QFont font = FitFont(text, inner.width() - icon - 4, 11);
            const qreal textWidth = QFontMetricsF(font).horizontalAdvance(text);
            const qreal startX = inner.left() + (inner.width() - icon - 3 - textWidth) / 2;
            b.symbol(p, QRectF(startX, inner.center().y() - icon / 2, icon, icon),
                     QColor(220, 234, 252));
            Caption(p, QRectF(startX + icon + 3, inner.top(), textWidth + 1, inner.height()), text,
                    font, Qt::white);
            break;
        }
        case Face::TitleBar: {  // the converter's title-bar buttons (opaque)
            shape = Rounded(all.adjusted(0.5, 0.5, -0.5, -0.5), 4);
            const QColor tint = state == 0 ? QColor(120, 140, 170) : b.tint;
            Gloss(p, shape, tint, state);
            b.symbol(p, all.adjusted(9, 3.5 + shift, -9, -3.5 + shift), glyph);
            break;
        }
        case Face::Bare: {  // the launcher's tiny title-bar glyphs
            shape.addRect(all);
            const QColor c = state == 0 ? ink::frame : state == 1 ? b.tint : b.tint.darker(140);
            b.symbol(p, all.adjusted(1, 1 + shift, -1, -1 + shift), c);
            break;
        }
        case Face::Dock: {  // Run and Stop: a large disc in the dock of the window
            const QPointF c(b.width / 2.0 + (b.left == 620 ? 0 : -1), b.height / 2.0);
            const qreal r = 56;
            shape.addEllipse(c, r, r);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 50));
            p.drawEllipse(c + QPointF(0, 2), r + 2, r + 2);
            p.setBrush(QColor(255, 255, 255));
            p.drawEllipse(c, r + 1, r + 1);
            QPainterPath disc;
            disc.addEllipse(c, r - 3, r - 3);
            Gloss(p, disc, b.tint, state);
            b.symbol(p, QRectF(c.x() - 22, c.y() - 34 + shift, 44, 40), glyph);
            Caption(p, QRectF(c.x() - 50, c.y() + 10 + shift, 100, 24),
                    QString::fromLatin1(b.caption), Font(20), glyph);
            break;
        }
    }
}

// One state picture of `b`, drawn over `background` (the window's bitmap under the button).
QImage ButtonPicture(const Button& b, const QImage& background, int state) {
    QImage image = background.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QPainterPath shape;
    DrawFace(p, b, state, shape);
    p.end();
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    if (!b.transparent)
        return out;
    // Cut away everything outside the shape in the key colour, which the top-left pixel carries.
    QImage mask(image.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter m(&mask);
    m.setRenderHint(QPainter::Antialiasing);
    m.setPen(Qt::NoPen);
    m.setBrush(Qt::black);
    m.drawPath(shape);
    m.end();
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        const QRgb* cover = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (qAlpha(cover[x]) < 128)
                row[x] = kKey;
            else if (row[x] == kKey)
                row[x] = qRgb(254, 0, 254);
        }
    }
    out.setPixel(0, 0, kKey);
    return out;
}

std::vector<Button> Buttons() {
    using namespace std::placeholders;
    const QColor blue(46, 110, 196);
    const QColor link(40, 70, 120);
    const Symbol none = [](QPainter&, const QRectF&, const QColor&) {};
    const Symbol play = Play, pause = Pause, square = Square;
    const Symbol start = [](QPainter& p, const QRectF& r, const QColor& c) { Mark(p, r, c, true); };
    const Symbol end = [](QPainter& p, const QRectF& r, const QColor& c) { Mark(p, r, c, false); };
    const Symbol add = [](QPainter& p, const QRectF& r, const QColor& c) { Film(p, r, c, true); };
    const Symbol remove = [](QPainter& p, const QRectF& r, const QColor& c) {
        Film(p, r, c, false);
    };
    const Symbol close = [](QPainter& p, const QRectF& r, const QColor& c) { Cross(p, r, c, 2); };
    const Symbol minimize = [](QPainter& p, const QRectF& r, const QColor& c) { Dash(p, r, c, 2); };
    const Symbol about = [](QPainter& p, const QRectF& r, const QColor& c) { Info(p, r, c, "i"); };
    const Symbol help = [](QPainter& p, const QRectF& r, const QColor& c) { Info(p, r, c, "?"); };
    const Symbol stop = [](QPainter& p, const QRectF& r, const QColor& c) {
        Square(p, r.adjusted(4, 2, -4, -6), c);
    };
    const Symbol run = [](QPainter& p, const QRectF& r, const QColor& c) {
        Play(p, r.adjusted(4, 2, 0, -4), c);
    };
    return {
        {"launcher", "Btn3GP", 473, 50, 122, 66, true, Face::Card, QColor(34, 116, 206), "3GP",
         "Phones", none},
        {"launcher", "BtnPSP", 475, 118, 122, 66, true, Face::Card, QColor(70, 76, 98), "PSP",
         "Handheld", none},
        {"launcher", "BtnIPOD", 478, 196, 122, 66, true, Face::Card, QColor(128, 134, 150), "iPod",
         "iPod video", none},
        {"launcher", "BtnPDA", 478, 196, 122, 66, true, Face::Card, QColor(30, 146, 112), "PDA",
         "Pocket PC", none},
        {"launcher", "BtnMP4", 480, 328, 122, 66, true, Face::Card, QColor(214, 112, 36), "MP4",
         "PC & players", none},
        {"launcher", "BtnAbout", 64, 402, 63, 22, true, Face::Link, link, "About", nullptr, about},
        {"launcher", "BtnHome", 137, 402, 63, 22, true, Face::Link, link, "Home", nullptr, House},
        {"launcher", "BtnEmail", 205, 402, 63, 22, true, Face::Link, link, "E-mail", nullptr,
         Envelope},
        {"launcher", "BtnHelp", 348, 402, 63, 22, true, Face::Link, link, "Help", nullptr, help},
        {"launcher", "BtnMinimize", 424, 26, 12, 9, true, Face::Bare, ink::accent, nullptr, nullptr,
         minimize},
        {"launcher", "BtnClose", 445, 23, 11, 12, true, Face::Bare, ink::halt, nullptr, nullptr,
         close},
        {"converter", "BtnMinimize", 706, 7, 28, 15, false, Face::TitleBar, ink::accent, nullptr,
         nullptr, minimize},
        {"converter", "BtnClose", 739, 7, 28, 15, false, Face::TitleBar, ink::halt, nullptr,
         nullptr, close},
        {"converter", "BtnPlayPause", 558, 271, 57, 60, true, Face::Round, blue, nullptr, nullptr,
         play},
        {"converter", "BtnPause", 558, 271, 57, 60, true, Face::Round, blue, nullptr, nullptr,
         pause},
        {"converter", "BtnStop", 511, 303, 32, 32, true, Face::Round, QColor(88, 98, 118), nullptr,
         nullptr, square},
        {"converter", "BtnSetStartPoint", 636, 303, 32, 32, true, Face::Round, QColor(88, 98, 118),
         nullptr, nullptr, start},
        {"converter", "BtnSetEndPoint", 687, 303, 33, 33, true, Face::Round, QColor(88, 98, 118),
         nullptr, nullptr, end},
        {"converter", "FileAdd", 39, 343, 60, 45, true, Face::Glass, blue, "Add", nullptr, add},
        {"converter", "FileRemove", 112, 343, 60, 45, true, Face::Glass, blue, "Remove", nullptr,
         remove},
        {"converter", "CustomProfileButton", 542, 340, 60, 23, true, Face::Glass, blue, "Custom",
         nullptr, Sliders},
        {"converter", "BtnBrows", 691, 342, 60, 23, true, Face::Glass, blue, "Browse", nullptr,
         Folder},
        {"converter", "Run", 620, 453, 134, 130, false, Face::Dock, ink::go, "Run", nullptr, run},
        {"converter", "Stop", 621, 453, 134, 130, false, Face::Dock, ink::halt, "Stop", nullptr,
         stop},
    };
}

// ---------------------------------------------------------------------------------------------
// The list's watermark: the family names, faint, behind the rows.

// `hint`: with the line that tells what to do, for the empty list; rows would cover part of it.
QImage Watermark(bool hint) {
    QImage image(435, 297, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const char* names[] = {"3GP", "PSP", "iPod", "PDA", "MP4"};
    p.setFont(Font(34));
    p.setPen(QColor(239, 243, 249));
    for (int i = 0; i < 5; ++i) {
        const qreal y = 8 + i * 57;
        p.drawText(QRectF(i % 2 ? 40 : 0, y, 395, 48),
                   (i % 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                   QStringLiteral("  %1  ").arg(QLatin1String(names[i])));
    }
    if (hint) {
        p.setFont(Font(12, false));
        p.setPen(QColor(184, 194, 210));
        p.drawText(QRectF(0, 128, 435, 40), Qt::AlignCenter,
                   QStringLiteral("Press Add to list the videos to convert"));
    }
    return image;
}

bool Save(const QImage& image, const QString& path, QStringList& listed, const QString& alias) {
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "skingen: cannot write %s\n", qPrintable(path));
        return false;
    }
    listed << alias;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: skingen <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out + "/launcher");
    QDir().mkpath(out + "/converter");
    QStringList files;
    bool ok = true;
    const QImage launcher = Launcher(), converter = Converter();
    ok = Save(launcher, out + "/launcher.png", files, "launcher.png") && ok;
    ok = Save(converter, out + "/converter.png", files, "converter.png") && ok;
    ok = Save(Profile(), out + "/profile.png", files, "profile.png") && ok;
    ok = Save(Watermark(true), out + "/watermark.png", files, "watermark.png") && ok;
    ok = Save(Watermark(false), out + "/watermark_rows.png", files, "watermark_rows.png") && ok;

    const char* states[] = {"normal", "mouseon", "mousedown", "disabled"};
    const bool sheetWanted = argc > 3 && QString::fromLatin1(argv[2]) == "--sheet";
    QImage sheet(4 * 3 * 150, 3 * 23 * 136, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 255));
    QPainter review(&sheet);
    int sheetTop = 0;
    for (const Button& b : Buttons()) {
        const QImage& window = QString::fromLatin1(b.window) == "launcher" ? launcher : converter;
        QImage background = window.copy(b.left, b.top, b.width, b.height);
        if (b.face == Face::Dock) {
            // The settings group's frame runs under the dock; carry its lines up to the disc.
            QPainter p(&background);
            p.setPen(QColor(127, 127, 127));
            p.drawLine(745 - b.left, 0, 745 - b.left, 518 - b.top);
            p.drawLine(0, 518 - b.top, 745 - b.left, 518 - b.top);
        }
        QImage normal;
        for (int s = 0; s < 4; ++s) {
            const QString name = QStringLiteral("%1/%2_%3.png").arg(b.window, b.name, states[s]);
            const QImage picture =
                s < 3 ? ButtonPicture(b, background, s) : DimmedPicture(normal, kKey);
            if (s == 0)
                normal = picture;
            ok = Save(picture, out + "/" + name, files, name) && ok;
            review.drawImage(QRect(s * 450, sheetTop, picture.width() * 3, picture.height() * 3),
                             picture);
        }
        sheetTop += b.height * 3 + 6;
    }
    review.end();
    if (sheetWanted)
        sheet.copy(0, 0, sheet.width(), sheetTop).save(QString::fromLocal8Bit(argv[3]));

    QFile qrc(out + "/skin.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream list(&qrc);
    list << "<RCC>\n  <qresource prefix=\"/skin\">\n";
    for (const QString& f : files)
        list << "    <file>" << f << "</file>\n";
    list << "  </qresource>\n</RCC>\n";
    return ok ? 0 : 1;
}
