#include "platform/JpegImage.h"

#include <QFile>
#include <QFileInfo>
#include <csetjmp>
#include <cstdio>
#include <vector>

extern "C" {
#include <jpeglib.h>
}

#include "platform/core/Errors.h"

namespace platform {
namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr) {}  // warnings are not printed

QorError NotAPicture(const QString& path) {
    return QorError(QStringLiteral("%1 is not a valid picture file").arg(path));
}

// Decodes from memory so that no file stays open and the longjmp crosses no C++ object that
// needs destruction.
bool Decode(const QByteArray& data, QImage& out) {
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnError;
    errors.base.output_message = OnMessage;
    JSAMPROW row = nullptr;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0 ||
        info.output_width > 16384 || info.output_height > 16384) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    out = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    while (info.output_scanline < info.output_height) {
        row = out.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage LoadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw NotAPicture(path);
    const QByteArray data = file.readAll();
    file.close();
    QImage image;
    if (data.isEmpty() || !Decode(data, image))
        throw NotAPicture(path);
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage LoadPicture(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "jpg" || suffix == "jpeg")
        return LoadJpeg(path);
    QImage image;
    if (!QFileInfo(path).isFile() || !image.load(path))
        throw NotAPicture(path);
    return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace platform
