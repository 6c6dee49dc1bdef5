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

// Releases everything the load holds and pushes the message of the failure.
kpximage* fail(JpegLoad& load, jpeg_decompress_struct& cinfo, const char* message) {
    release(load, cinfo);
    kpx_error(message);
    return nullptr;
}

// The record for the decompressor's output: greyscale as 8 bit with the grey
// ramp palette, colour as 24 bit; null for any other component count.
kpximage* createRecord(const jpeg_decompress_struct& cinfo) {
    const auto width = static_cast<std::uint16_t>(cinfo.output_width);
    const auto height = static_cast<std::uint16_t>(cinfo.output_height);
    if (cinfo.output_components == 3) return kpx_create(width, height, 24, 0);
    kpximage* img = kpx_create(width, height, 8, 256);
    if (img)
        for (int i = 0; i < 256; ++i) std::memset(img->palette + 3 * i, i, 3);
    return img;
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
    if (setjmp(err.back)) return fail(load, cinfo, "JPG: Unsupported file format");
    jpeg_CreateDecompress(&cinfo, JPEG_LIB_VERSION, sizeof(cinfo));
    load.created = true;
    cinfo.src = nullptr;
    kpx_jpeg_memory_src(&cinfo, load.file);
    jpeg_read_header(&cinfo, TRUE);
    // The output size is known from the header: a declared size beyond the
    // library's limit is refused before libjpeg or the reader allocate for it.
    jpeg_calc_output_dimensions(&cinfo);
    if (!kpx_size_allowed(cinfo.output_width, cinfo.output_height, cinfo.out_color_components))
        return fail(load, cinfo, "JPG: Not enough memory for buffer");
    jpeg_start_decompress(&cinfo);

    const std::size_t stride = static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    const std::size_t size = stride * cinfo.output_height;
    load.buffer = static_cast<JSAMPLE*>(std::malloc(size ? size : 1));
    if (!load.buffer) return fail(load, cinfo, "JPG: Not enough memory for buffer");
    load.rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * (cinfo.output_height ? cinfo.output_height : 1)));
    if (!load.rows) return fail(load, cinfo, "JPG: Not enough memory for rowbuf");
    for (JDIMENSION i = 0; i < cinfo.output_height; ++i) load.rows[i] = load.buffer + i * stride;

    if (cinfo.output_components != 1 && cinfo.output_components != 3)
        return fail(load, cinfo, "JPG: Unsupported bitdepth!");
    load.result = createRecord(cinfo);
    if (!load.result) return fail(load, cinfo, "JPG: Not enough memory for kpximage");
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
