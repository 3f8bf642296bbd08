// Writes a picture as a baseline JPEG with libjpeg.
#pragma once

#include <QImage>
#include <QString>

bool WriteJpeg(const QImage& image, const QString& path, int quality);
