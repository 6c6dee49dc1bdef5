// JPEG reader: baseline and progressive files decoded by libjpeg (6b
// interface) from memory; greyscale files become 8-bit records with the grey
// ramp palette, colour files 24-bit red, green, blue. Any libjpeg error ends
// the load; libjpeg warnings (a truncated file) do not.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "libs/log/progress_log.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

struct JumpingErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf back;
};

void jumpBack(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JumpingErrorManager*>(cinfo->err)->back, 1); }

// Everything a load holds; released on every way out.
struct JpegLoad {
    ppd_file* file = nullptr;
    bool created = false;
    JSAMPLE* buffer = nullptr;
    JSAMPROW* rows = nullptr;
    kpximage* result = nullptr;
};

void release(JpegLoad& load, jpeg_decompress_struct& cinfo) {
    if (load.created) jpeg_destroy_decompress(&cinfo);
    if (load.file) ppd_close(load.file);
    std::free(load.buffer);
    std::free(load.rows);
    kpx_free(load.result);
}

}  // namespace

kpximage* kpx_load_jpg(const char* path) {
    if (kpx_verbose()) vantor::log::progress("JPG: Loading file \"%s\"...\n", path);
    // Kept static so that nothing the long jump skips over has a destructor
    // or a register copy; the reader is single-threaded, like the library.
    static JpegLoad load;
    static jpeg_decompress_struct cinfo;
    static JumpingErrorManager err;
    load = JpegLoad{};
    load.file = ppd_open(path);
    if (!load.file) {
        kpx_error("JPG: File not found");
        return nullptr;
    }

    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = jumpBack;
    if (setjmp(err.back)) {
        release(load, cinfo);
        kpx_error("JPG: Unsupported file format");
        return nullptr;
    }
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    load.created = true;
    cinfo.src = nullptr;
    kpx_jpeg_memory_src(&cinfo, load.file);
    jpeg_read_header(&cinfo, TRUE);
    // The output size is known from the header: a declared size beyond the
    // library's limit is refused before libjpeg or the reader allocate for it.
    jpeg_calc_output_dimensions(&cinfo);
    if (!kpx_size_allowed(cinfo.output_width, cinfo.output_height, cinfo.out_color_components)) {
        release(load, cinfo);
        kpx_error("JPG: Not enough memory for buffer");
        return nullptr;
    }
    jpeg_start_decompress(&cinfo);

    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    const std::size_t size = stride * cinfo.output_height;
    load.buffer = static_cast<JSAMPLE*>(std::malloc(size ? size : 1));
    if (!load.buffer) {
        release(load, cinfo);
        kpx_error("JPG: Not enough memory for buffer");
        return nullptr;
    }
    load.rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * (cinfo.output_height ? cinfo.output_height : 1)));
    if (!load.rows) {
        release(load, cinfo);
        kpx_error("JPG: Not enough memory for rowbuf");
        return nullptr;
    }
    for (JDIMENSION i = 0; i < cinfo.output_height; ++i) load.rows[i] = load.buffer + i * stride;

    if (cinfo.output_components == 1) {
        load.result = kpx_create(static_cast<std::uint16_t>(cinfo.output_width),
                                 static_cast<std::uint16_t>(cinfo.output_height), 8, 256);
        if (load.result)
            for (int i = 0; i < 256; ++i) std::memset(load.result->palette + 3 * i, i, 3);
    } else if (cinfo.output_components == 3) {
        load.result = kpx_create(static_cast<std::uint16_t>(cinfo.output_width),
                                 static_cast<std::uint16_t>(cinfo.output_height), 24, 0);
    } else {
        release(load, cinfo);
        kpx_error("JPG: Unsupported bitdepth!");
        return nullptr;
    }
    if (!load.result) {
        release(load, cinfo);
        kpx_error("JPG: Not enough memory for kpximage");
        return nullptr;
    }
    if (kpx_verbose())
        vantor::log::progress("JPG: dimensions: %ix%ix%ibit\n", static_cast<int>(cinfo.output_width),
                              static_cast<int>(cinfo.output_height), cinfo.output_components * 8);

    while (cinfo.output_scanline < cinfo.output_height)
        jpeg_read_scanlines(&cinfo, &load.rows[cinfo.output_scanline], 1);
    std::memcpy(load.result->image, load.buffer, size);

    jpeg_finish_decompress(&cinfo);
    kpximage* img = load.result;
    load.result = nullptr;
    release(load, cinfo);
    return img;
}
