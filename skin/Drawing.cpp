#include "skin/Drawing.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QWidget>
#include <algorithm>

void DoTrans(QPainter& canvas, QWidget* control) {
    QWidget* parent = control ? control->parentWidget() : nullptr;
    if (!parent)
        return;
    const QRect area = control->geometry().intersected(parent->rect());
    if (area.isEmpty())
        return;
    canvas.save();
    canvas.translate(-control->x(), -control->y());
    canvas.setClipRect(parent->rect(), Qt::IntersectClip);
    // The parent's own background and painting, then every sibling that lies below the control
    // and overlaps it (the window bitmap under a transparent button), in stacking order.
    parent->render(&canvas, area.topLeft(), QRegion(area), QWidget::DrawWindowBackground);
    for (QObject* child : parent->children()) {
        auto* sibling = qobject_cast<QWidget*>(child);
        if (!sibling)
            continue;
        if (sibling == control)
            break;  // children are kept in stacking order, bottom first
        if (sibling->isWindow() || sibling->isHidden())
            continue;
        const QRect overlap = sibling->geometry().intersected(area);
        if (overlap.isEmpty())
            continue;
        sibling->render(&canvas, overlap.topLeft(), QRegion(overlap.translated(-sibling->pos())),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    canvas.restore();
}

QImage SpitBitmap(const QImage& source, int frames, int frame) {
    if (source.isNull() || frames <= 0)
        return source;
    const int width = source.width() / frames;
    if (width <= 0)
        return {};
    return source.copy((frame - 1) * width, 0, width, source.height());
}

QImage WithKeyColor(const QImage& picture, QRgb key) {
    if (picture.isNull())
        return picture;
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb opaqueKey = key | 0xFF000000u;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == opaqueKey || line[x] == key)
                line[x] = 0;
        }
    }
    return result;
}

void SpitDrawHorizontal(const QImage& picture, QPainter& canvas, const QRect& rect) {
    if (picture.isNull() || rect.isEmpty())
        return;
    const int part = picture.width() / 3;
    if (part <= 0)
        return;
    const int h = picture.height();
    const QImage keyed = WithKeyColor(picture, clFuchsia);
    const QImage left = keyed.copy(0, 0, part, h);
    const QImage right = keyed.copy(picture.width() - part, 0, part, h);
    const QImage middle = picture.copy(part, 0, picture.width() - 2 * part, h);
    const int middleWidth = rect.width() - 2 * part;
    if (middleWidth > 0) {
        canvas.drawImage(QRect(rect.left() + part, rect.top(), middleWidth, rect.height()), middle);
    }
    canvas.drawImage(rect.left(), rect.top(), left);
    canvas.drawImage(rect.left() + rect.width() - part, rect.top(), right);
}

void SpitDraw(const QImage& picture, QPainter& canvas, const QRect& rect, bool transparent) {
    if (picture.isNull() || rect.isEmpty())
        return;
    const QImage source = transparent ? WithKeyColor(picture, clFuchsia) : picture;
    const int w = source.width(), h = source.height();
    const int cw = std::min(w / 2, rect.width() / 2);
    const int ch = std::min(h / 2, rect.height() / 2);
    // The pixels between the corner quarters; for an even size the first column (row) of the
    // far half stands in for them.
    const int mx = std::min(w / 2, w - 1), mw = std::max(1, w - 2 * (w / 2));
    const int my = std::min(h / 2, h - 1), mh = std::max(1, h - 2 * (h / 2));
    const int innerW = rect.width() - 2 * cw, innerH = rect.height() - 2 * ch;
    const int l = rect.left(), t = rect.top();
    const int r = rect.left() + rect.width() - cw, b = rect.top() + rect.height() - ch;

    canvas.drawImage(QPoint(l, t), source, QRect(0, 0, cw, ch));
    canvas.drawImage(QPoint(r, t), source, QRect(w - cw, 0, cw, ch));
    canvas.drawImage(QPoint(l, b), source, QRect(0, h - ch, cw, ch));
    canvas.drawImage(QPoint(r, b), source, QRect(w - cw, h - ch, cw, ch));
    if (innerW > 0) {
        canvas.drawImage(QRect(l + cw, t, innerW, ch), source, QRect(mx, 0, mw, ch));
        canvas.drawImage(QRect(l + cw, b, innerW, ch), source, QRect(mx, h - ch, mw, ch));
    }
    if (innerH > 0) {
        canvas.drawImage(QRect(l, t + ch, cw, innerH), source, QRect(0, my, cw, mh));
        canvas.drawImage(QRect(r, t + ch, cw, innerH), source, QRect(w - cw, my, cw, mh));
    }
    if (innerW > 0 && innerH > 0) {
        canvas.drawImage(QRect(l + cw, t + ch, innerW, innerH), source, QRect(mx, my, mw, mh));
    }
}

QImage RoundPicture(const QImage& bitmap) {
    if (bitmap.isNull())
        return bitmap;
    const QImage source = bitmap.convertToFormat(QImage::Format_ARGB32);
    const int w = source.width(), h = source.height();
    QImage result(h, w, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x)
            result.setPixel(y, w - 1 - x, line[x]);
    }
    return result;
}

void DrawFocusRect(QPainter& canvas, const QRect& rect) {
    QPen pen(Qt::black);
    pen.setStyle(Qt::DotLine);
    canvas.setPen(pen);
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(rect.adjusted(0, 0, -1, -1));
}

QColor FocusRingColor() {
    return QGuiApplication::palette().color(QPalette::Highlight);
}
