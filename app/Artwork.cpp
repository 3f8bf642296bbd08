#include "app/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "skin/ImageButton.h"

namespace Artwork {
namespace {

const QColor kFuchsia(255, 0, 255);

struct ButtonLook {
    const char* name;
    const char* caption;
};

// Captions of the buttons that carry words; the others get a symbol.
const ButtonLook kCaptions[] = {
    {"Btn3GP", "3GP"},      {"BtnPSP", "PSP"},        {"BtnIPOD", "iPod"},
    {"BtnPDA", "PDA"},      {"BtnMP4", "MP4"},        {"BtnAbout", "About"},
    {"BtnHome", "Home"},    {"BtnEmail", "E-mail"},   {"BtnHelp", "Help"},
    {"FileAdd", "Add"},     {"FileRemove", "Remove"}, {"CustomProfileButton", "Custom"},
    {"BtnBrows", "Browse"}, {"Run", "Run"},           {"Stop", "Stop"},
};

QString CaptionOf(const QString& name) {
    for (const ButtonLook& look : kCaptions) {
        if (name == look.name)
            return look.caption;
    }
    return QString();
}

void DrawSymbol(QPainter& p, const QString& name, const QRectF& r, const QColor& ink) {
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(ink);
    const QPointF c = r.center();
    const qreal s = std::min(r.width(), r.height()) * 0.28;
    if (name == "BtnPlayPause") {
        QPainterPath play;
        play.moveTo(c.x() - s * 0.7, c.y() - s);
        play.lineTo(c.x() + s, c.y());
        play.lineTo(c.x() - s * 0.7, c.y() + s);
        play.closeSubpath();
        p.drawPath(play);
    } else if (name == "BtnStop") {
        p.drawRect(QRectF(c.x() - s * 0.8, c.y() - s * 0.8, s * 1.6, s * 1.6));
    } else if (name == "BtnSetStartPoint" || name == "BtnSetEndPoint") {
        const bool start = name == "BtnSetStartPoint";
        const qreal x = start ? c.x() - s : c.x() + s;
        p.drawLine(QPointF(x, c.y() - s), QPointF(x, c.y() + s));
        QPainterPath arrow;
        const qreal dir = start ? 1 : -1;
        arrow.moveTo(x + dir * 3, c.y());
        arrow.lineTo(x + dir * (3 + s * 1.3), c.y() - s * 0.8);
        arrow.lineTo(x + dir * (3 + s * 1.3), c.y() + s * 0.8);
        arrow.closeSubpath();
        p.drawPath(arrow);
    } else if (name == "BtnClose") {
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(c.x() - s, c.y() - s), QPointF(c.x() + s, c.y() + s));
        p.drawLine(QPointF(c.x() + s, c.y() - s), QPointF(c.x() - s, c.y() + s));
    } else if (name == "BtnMinimize") {
        p.drawLine(QPointF(c.x() - s, c.y() + s * 0.6), QPointF(c.x() + s, c.y() + s * 0.6));
    }
}

QImage ButtonState(const QString& name, QSize size, int state) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kFuchsia);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor base = name == "Run"    ? QColor(46, 140, 74)
                        : name == "Stop" ? QColor(176, 52, 48)
                                         : QColor(52, 96, 160);
    QColor top = base.lighter(state == 1 ? 175 : 150);
    QColor bottom = base.darker(state == 2 ? 150 : 110);
    if (state == 2)
        std::swap(top, bottom);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    const QRectF r = QRectF(image.rect()).adjusted(0.5, 0.5, -1.5, -1.5);
    const qreal radius = std::min(size.width(), size.height()) > 40 ? 10 : 3;
    p.setPen(QPen(base.darker(170), 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    const QString caption = CaptionOf(name);
    const QRectF inner = r.translated(state == 2 ? 1 : 0, state == 2 ? 1 : 0);
    if (caption.isEmpty()) {
        DrawSymbol(p, name, inner, Qt::white);
    } else {
        QFont font("DejaVu Sans", 8, QFont::Bold);
        if (size.height() >= 60)
            font.setPointSize(name == "Run" || name == "Stop" ? 20 : 14);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(inner, Qt::AlignCenter, caption);
    }
    return image;
}

}  // namespace

QImage WindowBitmap(const QString& window) {
    QSize size(778, 597);
    if (window == "launcher")
        size = QSize(648, 452);
    if (window == "profile")
        size = QSize(483, 314);
    QImage image(size, QImage::Format_RGB32);
    image.fill(kFuchsia);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(168, 174, 184));
    g.setColorAt(0.06, QColor(150, 156, 166));
    g.setColorAt(0.07, QColor(196, 200, 206));
    g.setColorAt(1, QColor(176, 180, 188));
    p.setPen(QColor(70, 76, 88));
    p.setBrush(g);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, size.width() - 1, size.height() - 1), 14, 14);
    p.drawPath(shape);
    return image;
}

ButtonPictures Button(const QString& window, const QString& name, QSize size) {
    Q_UNUSED(window);
    return {ButtonState(name, size, 0), ButtonState(name, size, 1), ButtonState(name, size, 2)};
}

void Dress(ImageButton* button, const QString& window, const QString& name, QSize size) {
    const ButtonPictures pictures = Button(window, name, size);
    button->SetPicNormal(pictures.normal);
    button->SetPicMouseOn(pictures.mouseOn);
    button->SetPicMouseDown(pictures.mouseDown);
}

QImage ListWatermark(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    QFont font("DejaVu Sans", 16, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(238, 241, 246));
    const char* names[] = {"3GP", "PSP", "iPod", "PDA", "MP4"};
    for (int i = 0; i < 5; ++i) {
        p.drawText(QRect(0, 20 + i * 56, size.width(), 40),
                   (i % 2 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                   QString("   %1   ").arg(names[i]));
    }
    return image;
}

}  // namespace Artwork
