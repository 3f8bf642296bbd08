#include "skin/BufferedPaint.h"

#include <QImage>
#include <QPainter>
#include <QWidget>

#include "skin/Drawing.h"

void PaintBuffered(QWidget* control, bool transparent, const QColor& background,
                   const std::function<void(QPainter&)>& draw) {
    QImage buffer(control->size(), QImage::Format_ARGB32_Premultiplied);
    buffer.fill(transparent ? QColor(Qt::transparent) : background);
    {
        QPainter painter(&buffer);
        if (transparent)
            DoTrans(painter, control);
        draw(painter);
    }
    QPainter(control).drawImage(0, 0, buffer);
}
