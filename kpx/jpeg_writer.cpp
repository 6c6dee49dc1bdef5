// JPEG writer: 24-bit records as they are, 32-bit records from bytes 1, 2, 3
// of every pixel (byte 0 is the converters' alpha slot), through libjpeg.
// A libjpeg error while writing (an empty image, a failed write) ends the
// save with a message on the error list and removes the partial file.
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

int quality = 75;

struct JumpingErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf back;
};

void jumpBack(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JumpingErrorManager*>(cinfo->err)->back, 1); }

struct JpegSave {
    std::FILE* out = nullptr;
    JSAMPLE* row = nullptr;
    const char* path = nullptr;
};

void release(JpegSave& save, jpeg_compress_struct& cinfo, bool removeFile) {
    std::free(save.row);
    if (save.out) std::fclose(save.out);
    if (removeFile && save.out) std::remove(save.path);
    jpeg_destroy_compress(&cinfo);
}

}  // namespace

void kpx_set_jpg_quality(int q) { quality = q; }

int kpx_save_jpg(const char* path, kpximage* img) {
    static jpeg_compress_struct cinfo;
    static JumpingErrorManager err;
    static JpegSave save;
    save = JpegSave{};
    save.path = path;

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpBack;
    if (setjmp(err.back)) {
        release(save, cinfo, true);
        kpx_error("JPG: Error while writing file");
        return 0;
    }
    jpeg_CreateCompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    if (kpx_verbose()) vantor::log::progress("JPG: Saving file \"%s\"...\n", path);

    const std::size_t pixelBytes = kpx_bytes_per_pixel(img->bpp);
    if (pixelBytes == 1 || (pixelBytes != 3 && pixelBytes != 4)) {
        release(save, cinfo, false);
        kpx_error(pixelBytes == 1 ? "JPG: Indexed color images not supported" : "JPG: Unknown image type");
        return 0;
    }
    save.out = std::fopen(path, "wb");
    if (!save.out) {
        release(save, cinfo, false);
        kpx_error("JPG: Cannot open file for writing");
        return 0;
    }
    jpeg_stdio_dest(&cinfo, save.out);

    cinfo.image_width = img->width;
    cinfo.image_height = img->height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);

    save.row = static_cast<JSAMPLE*>(std::malloc(static_cast<std::size_t>(img->width) * 3 + 1));
    if (!save.row) {
        release(save, cinfo, true);
        kpx_error("JPG: Not enough memory for temp");
        return 0;
    }
    const std::size_t skip = pixelBytes == 4 ? 1 : 0;
    while (cinfo.next_scanline < cinfo.image_height) {
        const unsigned char* src = img->image + static_cast<std::size_t>(cinfo.next_scanline) * img->width * pixelBytes;
        for (std::size_t x = 0; x < img->width; ++x)
            for (int c = 0; c < 3; ++c) save.row[3 * x + c] = src[x * pixelBytes + skip + c];
        JSAMPROW rowPointer = save.row;
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    release(save, cinfo, false);
    return 0;
}
