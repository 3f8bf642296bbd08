// The disabled look of a button picture, shared by the skin generator and the controls that
// take their pictures from a look: the picture without its colour, faded towards a light grey,
// so that a button the user cannot press reads as such at a glance.
#pragma once

#include <QImage>

// `key` pixels (the transparent colour of a shaped picture) stay as they are.
inline QImage DimmedPicture(const QImage& picture, QRgb key) {
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb opaqueKey = key | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((row[x] | 0xFF000000u) == opaqueKey)
                continue;
            const int v = (qGray(row[x]) * 45 + 200 * 55) / 100;
            row[x] = qRgb(v, v, v);
        }
    }
    return out;
}
