// Pictures beside the executable: JPEG files are decoded with libjpeg directly, other formats
// (the BMP background) by Qt's built-in readers.
#pragma once

#include <QImage>
#include <QString>

namespace platform {

// Decodes a JPEG file into a 24-bit picture. A missing file or one that is not a decodable
// JPEG raises QorError naming the file.
QImage LoadJpeg(const QString& path);

// Loads a picture file by its extension (".jpg"/".jpeg" through LoadJpeg); raises QorError
// when the file is missing or cannot be decoded.
QImage LoadPicture(const QString& path);

}  // namespace platform
