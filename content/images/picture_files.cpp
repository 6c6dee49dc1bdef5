#include "content/images/picture_files.h"

#include "content/images/canvas.h"
#include "kpx/kpx.h"

#include <jpeglib.h>

#include <cstdio>
#include <stdexcept>

namespace vantor::pictures {

namespace {

[[noreturn]] void failed(const std::string& path) {
    const char* reason = kpx_error_last();
    throw std::runtime_error(path + ": " + (reason ? reason : "cannot be written"));
}

// The KPX JPEG writer takes colour records only; a grey map must stay one
// channel so that its pixel i is byte i when read back, so it is written here
// with libjpeg's own greyscale path.
void writeGreyJpeg(const kpximage* img, const std::string& path) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) throw std::runtime_error(path + ": cannot open for writing");
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = img->width;
    cinfo.image_height = img->height;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = img->image + static_cast<std::size_t>(cinfo.next_scanline) * img->width;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    if (std::fclose(out) != 0) throw std::runtime_error(path + ": write failed");
}

}  // namespace

void writePicture(Canvas& canvas, FileKind kind, const std::string& path) {
    kpx_error_clear();
    switch (kind) {
    case FileKind::Jpeg: {
        KpxImage img = canvas.toRgb24();
        kpx_set_jpg_quality(kJpegQuality);
        kpx_save_jpg(path.c_str(), img.get());
        if (kpx_error_count() > 0) failed(path);
        return;
    }
    case FileKind::GreyJpeg: writeGreyJpeg(canvas.toGrey8().get(), path); return;
    case FileKind::Pcx24:
        if (!kpx_save_pcx(path.c_str(), canvas.toRgb24().get())) failed(path);
        return;
    case FileKind::GreyPcx:
        if (!kpx_save_pcx(path.c_str(), canvas.toGrey8().get())) failed(path);
        return;
    case FileKind::Tga32:
        if (!kpx_save_tga(path.c_str(), canvas.toRgba32().get(), 1)) failed(path);
        return;
    }
}

}  // namespace vantor::pictures
