// Draws the pictures of the five looks that the skinned controls use: button, check-box and
// scroll-button strips, progress fills, track bars and thumbs, scroll thumbs and the two
// drop-down buttons. Run at build time; the pictures are compiled into the program.
//   lookgen <output folder>    (writes <NAME>.png for every picture and looks.qrc)
//
// Every picture is 24-bit. Where a control draws a picture with a key colour, the parts
// outside the shape are fuchsia (255, 0, 255); edges are smoothed against a light matte so
// that no pink fringe remains once the key colour is cut out.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QColor kKey(255, 0, 255);

struct Look {
    const char* name;
    bool keyedButtons;  // the look's push-buttons are drawn with their key colour left out
    double radius;      // corner radius of buttons
    QColor faceTop, faceBottom, border;
    QColor hoverTop, hoverBottom, hoverBorder;
    QColor downTop, downBottom, downBorder;
    QColor accent, accentLight;  // check marks, progress, thumbs
    QColor groove, grooveBorder;
    QColor scrollBack;  // the look's scroll-bar colour
    QColor matte;       // what edges are smoothed against
};

const Look kLooks[] = {
    {"MACOS",
     true,
     9.5,
     {253, 253, 253},
     {221, 223, 228},
     {148, 151, 158},
     {250, 252, 255},
     {206, 223, 246},
     {108, 140, 192},
     {160, 196, 242},
     {104, 156, 228},
     {64, 104, 176},
     {52, 124, 228},
     {142, 192, 252},
     {204, 206, 211},
     {150, 153, 160},
     {201, 201, 201},
     {236, 236, 236}},
    {"WINXP",
     false,
     3.0,
     {255, 255, 255},
     {234, 233, 227},
     {0, 60, 116},
     {255, 255, 255},
     {238, 236, 226},
     {0, 60, 116},
     {222, 219, 208},
     {242, 241, 236},
     {0, 60, 116},
     {42, 164, 42},
     {150, 226, 140},
     {226, 222, 208},
     {150, 146, 134},
     {249, 249, 249},
     {239, 235, 222}},
    {"DEEPBLUE",
     false,
     3.0,
     {240, 245, 252},
     {198, 213, 236},
     {28, 58, 118},
     {248, 251, 255},
     {212, 227, 249},
     {38, 92, 172},
     {168, 190, 226},
     {204, 218, 240},
     {18, 42, 98},
     {30, 82, 172},
     {112, 162, 232},
     {196, 206, 222},
     {92, 110, 140},
     {245, 245, 245},
     {232, 232, 232}},
    {"PROTEIN",
     false,
     2.0,
     {253, 253, 253},
     {239, 239, 239},
     {122, 122, 122},
     {255, 255, 255},
     {245, 249, 247},
     {56, 150, 108},
     {226, 226, 226},
     {236, 236, 236},
     {64, 64, 64},
     {38, 160, 110},
     {124, 212, 172},
     {222, 222, 222},
     {140, 140, 140},
     {245, 245, 245},
     {251, 251, 251}},
    {"BLUEGLASS",
     true,
     6.5,
     {238, 247, 255},
     {176, 212, 245},
     {68, 118, 180},
     {246, 252, 255},
     {156, 204, 250},
     {38, 108, 200},
     {126, 178, 236},
     {170, 210, 246},
     {28, 78, 160},
     {38, 128, 220},
     {152, 206, 255},
     {198, 218, 238},
     {96, 134, 180},
     {244, 244, 244},
     {231, 231, 231}},
};

// A picture drawn on a transparent canvas, then made 24-bit: pixels mostly outside the shape
// become the key colour (or the matte for pictures drawn opaque), the rest is laid on the
// matte so that smoothed edges blend into a light background.
QImage Flatten(const QImage& drawn, const QColor& matte, bool keyed) {
    QImage result(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb p = drawn.pixel(x, y);
            const int a = qAlpha(p);
            if (keyed && a < 110) {
                result.setPixel(x, y, kKey.rgb());
                continue;
            }
            const auto mix = [a](int c, int m) { return (c * a + m * (255 - a)) / 255; };
            result.setPixel(x, y,
                            qRgb(mix(qRed(p), matte.red()), mix(qGreen(p), matte.green()),
                                 mix(qBlue(p), matte.blue())));
        }
    }
    return result;
}

QImage Canvas(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

void Face(QPainter& p, const QRectF& r, double radius, const QColor& top, const QColor& bottom,
          const QColor& border, bool gloss) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (gloss) {  // a soft highlight over the upper half
        QRectF shine = r.adjusted(2, 1.5, -2, -r.height() / 2);
        QLinearGradient s(shine.topLeft(), shine.bottomLeft());
        s.setColorAt(0, QColor(255, 255, 255, 170));
        s.setColorAt(1, QColor(255, 255, 255, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(s);
        p.drawRoundedRect(shine, std::max(1.0, radius - 2), std::max(1.0, radius - 2));
    }
}

// Push-button strip: normal, mouse over, pressed; 75 x 23 each.
QImage ButtonStrip(const Look& l) {
    const int w = 75, h = 23;
    QImage strip(w * 3, h, QImage::Format_RGB32);
    QPainter out(&strip);
    const bool gloss = l.keyedButtons;
    for (int state = 0; state < 3; ++state) {
        QImage c = Canvas(w, h);
        QPainter p(&c);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r(0, 0, w, h);
        if (state == 0)
            Face(p, r, l.radius, l.faceTop, l.faceBottom, l.border, gloss);
        if (state == 1) {
            Face(p, r, l.radius, l.hoverTop, l.hoverBottom, l.hoverBorder, gloss);
            if (QByteArray(l.name) == "WINXP") {  // the warm inner rim of hovered buttons
                p.setPen(QPen(QColor(248, 179, 48), 2));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(r.adjusted(2, 2, -2, -2), 2, 2);
            }
        }
        if (state == 2)
            Face(p, r, l.radius, l.downTop, l.downBottom, l.downBorder, false);
        p.end();
        out.drawImage(state * w, 0, Flatten(c, l.matte, l.keyedButtons));
    }
    return strip;
}

// Check-box strip: checked, unchecked, checked disabled, unchecked disabled; 13 x 13 each.
QImage CheckBoxStrip(const Look& l) {
    const int s = 13;
    QImage strip(s * 4, s, QImage::Format_RGB32);
    QPainter out(&strip);
    for (int frame = 0; frame < 4; ++frame) {
        const bool checked = frame % 2 == 0, enabled = frame < 2;
        QImage c = Canvas(s, s);
        QPainter p(&c);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor border = enabled ? l.border : QColor(176, 176, 176);
        Face(p, QRectF(0, 0, s, s), 2.5, enabled ? QColor(255, 255, 255) : QColor(244, 244, 244),
             enabled ? l.faceBottom : QColor(230, 230, 230), border, false);
        if (checked) {
            QPainterPath tick;
            tick.moveTo(3.2, 6.6);
            tick.lineTo(5.6, 9.2);
            tick.lineTo(10.0, 3.6);
            p.setPen(QPen(enabled ? l.accent : QColor(160, 160, 160), 2.0, Qt::SolidLine,
                          Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
        p.end();
        out.drawImage(frame * s, 0, Flatten(c, l.matte, false));
    }
    return strip;
}

// Progress fill, stretched over the filled part of the bar.
QImage ProgressFill(const Look& l) {
    QImage c = Canvas(8, 12);
    QPainter p(&c);
    QLinearGradient g(0, 0, 0, 12);
    g.setColorAt(0, l.accentLight);
    g.setColorAt(0.45, l.accent.lighter(115));
    g.setColorAt(1, l.accent.darker(115));
    p.fillRect(QRect(0, 0, 8, 12), g);
    p.fillRect(QRect(0, 1, 8, 1), QColor(255, 255, 255, 110));
    p.end();
    return Flatten(c, l.matte, false);
}

// Track bar: a rounded groove in three equal parts (ends, middle), 18 x 6.
QImage TrackBar(const Look& l) {
    QImage c = Canvas(18, 6);
    QPainter p(&c);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 6);
    g.setColorAt(0, l.groove.darker(112));
    g.setColorAt(1, l.groove.lighter(106));
    p.setPen(QPen(l.grooveBorder, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 17, 5), 2.5, 2.5);
    p.end();
    return Flatten(c, l.matte, true);
}

// Track thumb: 11 x 20 upright (horizontal track) or 20 x 11 lying (vertical track).
QImage TrackThumb(const Look& l, bool vertical) {
    const int w = vertical ? 20 : 11, h = vertical ? 11 : 20;
    QImage c = Canvas(w, h);
    QPainter p(&c);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, w - 1, h - 1);
    QLinearGradient g(r.topLeft(), vertical ? r.bottomLeft() : r.topRight());
    g.setColorAt(0, l.faceTop);
    g.setColorAt(1, l.faceBottom);
    p.setPen(QPen(l.hoverBorder, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(QPen(l.accent, 1));
    for (int i = -1; i <= 1; ++i) {  // grip
        if (vertical) {
            p.drawLine(QPointF(10 + 2.5 * i, 3.5), QPointF(10 + 2.5 * i, 7.5));
        } else {
            p.drawLine(QPointF(3.5, 10 + 2.5 * i), QPointF(7.5, 10 + 2.5 * i));
        }
    }
    p.end();
    return Flatten(c, l.matte, true);
}

// Scroll-bar arrows: up normal, over, pressed, then down normal, over, pressed; 16 x 16 each.
QImage ScrollButtons(const Look& l) {
    const int s = 16;
    QImage strip(s * 6, s, QImage::Format_RGB32);
    QPainter out(&strip);
    for (int frame = 0; frame < 6; ++frame) {
        const int state = frame % 3;
        const bool up = frame < 3;
        QImage c = Canvas(s, s);
        QPainter p(&c);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r(0, 0, s, s);
        if (state == 0)
            Face(p, r, 2.5, l.faceTop, l.faceBottom, l.grooveBorder, false);
        if (state == 1)
            Face(p, r, 2.5, l.hoverTop, l.hoverBottom, l.hoverBorder, false);
        if (state == 2)
            Face(p, r, 2.5, l.downTop, l.downBottom, l.downBorder, false);
        QPainterPath arrow;
        const double cy = up ? 9.5 : 6.5, dy = up ? -3.5 : 3.5;
        arrow.moveTo(4.0, cy);
        arrow.lineTo(8.0, cy + dy);
        arrow.lineTo(12.0, cy);
        p.setPen(QPen(QColor(44, 50, 60), 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        p.end();
        out.drawImage(frame * s, 0, Flatten(c, l.scrollBack, false));
    }
    return strip;
}

// Scroll thumb for a horizontal bar in three pieces of 8 x 16: start cap, middle, end cap.
QImage ScrollThumb(const Look& l) {
    QImage c = Canvas(24, 16);
    QPainter p(&c);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 16);
    g.setColorAt(0, l.accentLight.lighter(108));
    g.setColorAt(1, l.accentLight.darker(112));
    p.setPen(QPen(l.accent, 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1.5, 1.5, 21, 13), 4, 4);
    p.end();
    return Flatten(c, l.scrollBack, false);
}

// The two looks whose drop-down lists show a picture for their button.
QImage ComboButton(bool xp) {
    const int w = 17, h = 19;
    QImage c = Canvas(w, h);
    QPainter p(&c);
    p.setRenderHint(QPainter::Antialiasing);
    if (xp) {
        Face(p, QRectF(0, 0, w, h), 2.5, QColor(222, 234, 255), QColor(172, 198, 248),
             QColor(152, 178, 228), false);
        QPainterPath chevron;
        chevron.moveTo(5.0, 7.5);
        chevron.lineTo(8.5, 11.0);
        chevron.lineTo(12.0, 7.5);
        p.setPen(QPen(QColor(77, 97, 133), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(chevron);
    } else {
        QLinearGradient g(0, 0, 0, h);
        g.setColorAt(0, QColor(250, 251, 253));
        g.setColorAt(1, QColor(214, 218, 226));
        p.fillRect(QRect(0, 0, w, h), g);
        p.fillRect(QRect(0, 0, 1, h), QColor(148, 151, 158));
    }
    p.end();
    return Flatten(c, QColor(255, 255, 255), false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: lookgen <output folder>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    std::vector<std::pair<QString, QImage>> pictures;
    for (const Look& l : kLooks) {
        const QString n = QString::fromLatin1(l.name) + "_";
        pictures.emplace_back(n + "BUTTON", ButtonStrip(l));
        pictures.emplace_back(n + "CHECKBOX", CheckBoxStrip(l));
        pictures.emplace_back(n + "PROGRESSBAR", ProgressFill(l));
        pictures.emplace_back(n + "TRACKBAR_BAR", TrackBar(l));
        pictures.emplace_back(n + "TRACKBAR_SLIDER", TrackThumb(l, false));
        pictures.emplace_back(n + "TRACKBAR_SLIDER_V", TrackThumb(l, true));
        pictures.emplace_back(n + "SCROLLBAR_BUTTON", ScrollButtons(l));
        pictures.emplace_back(n + "SCROLLBAR_TRACK", ScrollThumb(l));
    }
    pictures.emplace_back("MACOS_COMBOBOX_BUTTON", ComboButton(false));
    pictures.emplace_back("WINXP_COMBOBOX_BUTTON", ComboButton(true));

    QFile qrc(out + "/looks.qrc");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream list(&qrc);
    list << "<RCC>\n<qresource prefix=\"/looks\">\n";
    for (const auto& [name, image] : pictures) {
        if (!image.save(out + "/" + name + ".png", "PNG")) {
            std::fprintf(stderr, "lookgen: cannot write %s\n", qPrintable(name));
            return 1;
        }
        list << "  <file>" << name << ".png</file>\n";
    }
    list << "</qresource>\n</RCC>\n";
    return 0;
}
