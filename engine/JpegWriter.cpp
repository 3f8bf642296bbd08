#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "OutputFile.h"

extern "C" {
#include <jpeglib.h>
}

namespace kivo {
namespace {

constexpr int kQuality = 90;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Compresses into an open file. Kept free of C++ objects with destructors because libjpeg's
// errors leave through longjmp.
bool Compress(std::FILE* file, const uint8_t* rgb, int width, int height) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnJpegError;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kQuality, TRUE);  // baseline quantisation tables
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(cinfo.next_scanline) * width * 3);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool WriteJpegFile(const std::string& path, const std::vector<uint8_t>& rgb, int width, int height,
                   std::string& error) {
    if (width <= 0 || height <= 0 || rgb.size() < size_t(width) * height * 3) {
        error = "Invalid picture";
        return false;
    }
    std::string temporary = TemporaryPathFor(path);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        error = "Cannot write the picture file";
        return false;
    }
    bool written = Compress(file.get(), rgb.data(), width, height);
    written = std::fflush(file.get()) == 0 && written;
    written = std::fclose(file.release()) == 0 && written;
    if (!written) {
        error = "Cannot write the picture file";
        DiscardTemporary(temporary);
        return false;
    }
    return CommitTemporary(temporary, path, error);
}

}  // namespace kivo
