// KPX, the Kapex Graphics Library: plain functions over one plain image record.
//
// A kpximage holds a decoded picture: rows top first, no gap between rows, a
// row being width x bytes-per-pixel long, bytes per pixel = (bpp + 7) / 8.
//   8 bit : index into palette (grey images carry the ramp entry i = (i, i, i))
//   16 bit: RGB 5-6-5, high byte first
//   24 bit: red, green, blue
//   32 bit: the converters read byte 0 as alpha and bytes 1..3 as red, green,
//           blue; conversion from 24 bit writes red, green, blue, 255 and the
//           TGA reader delivers red, green, blue, alpha.
//
// Every operation that can fail returns null (or 0) and pushes exactly one
// constant message on the error list; nothing is printed for a failure.
// Progress lines are printed while the verbose switch is on (it is on when the
// program starts), through vantor::log::progress (libs/log/progress_log.h):
// standard output unless a tool has made progress quiet.
#pragma once

#include <cstddef>
#include <cstdint>

struct ppd_file;
struct jpeg_decompress_struct;

struct kpximage {
    std::uint16_t width;
    std::uint16_t height;
    std::uint16_t bpp;
    std::uint16_t colors;    // palette entries; 0 means no palette
    unsigned char* palette;  // colors x (red, green, blue), only when colors > 0
    unsigned char* image;    // width x height x bytes-per-pixel
};

// ---- record life cycle --------------------------------------------------
kpximage* kpx_create(std::uint16_t width, std::uint16_t height, std::uint16_t bpp, std::uint16_t colors);
void kpx_free(kpximage* img);
kpximage* kpx_duplicate(const kpximage* img);
// Gives the record a new, zero-filled shape; the pointer stays the same.
int kpx_set_attributes(std::uint16_t width, std::uint16_t height, std::uint16_t bpp, std::uint16_t colors,
                       kpximage* img);

// The largest pixel buffer the library allocates (256 MiB). Readers refuse a
// declared size beyond it with their own "Not enough memory for ..." message
// before they allocate anything for the pixels; kpx_create and
// kpx_set_attributes refuse it like a failed allocation.
constexpr std::size_t kpx_max_image_bytes = std::size_t(256) << 20;
// True when width x height pixels of bytesPerPixel bytes fit within kpx_max_image_bytes.
bool kpx_size_allowed(std::size_t width, std::size_t height, std::size_t bytesPerPixel);

// Bytes per pixel for a depth: (bpp + 7) / 8, so 1..8 bits take one byte.
std::size_t kpx_bytes_per_pixel(std::uint16_t bpp);
// Size of the record's pixel buffer in bytes.
std::size_t kpx_image_size(const kpximage* img);

// ---- diagnostics ----------------------------------------------------------
void kpx_verbose_on();
void kpx_verbose_off();
int kpx_verbose();
void kpx_print_banner();

// ---- error list (256 constant texts; the 257th push empties it first) -----
void kpx_error(const char* message);
void kpx_error_clear();
const char* kpx_error_last();
const char* kpx_error_first();
const char* kpx_error_next();
int kpx_error_count();

// ---- readers (through the ppd_ file layer) --------------------------------
kpximage* kpx_load_pcx(const char* path);
kpximage* kpx_load_gif(const char* path);
kpximage* kpx_load_tga(const char* path);
kpximage* kpx_load_jpg(const char* path);
// Feeds a libjpeg decompressor from an open file-layer handle.
void kpx_jpeg_memory_src(jpeg_decompress_struct* cinfo, ppd_file* file);

// ---- writers (plain files on disk) ----------------------------------------
// Always returns 0; failures are told by the error list.
int kpx_save_jpg(const char* path, kpximage* img);
void kpx_set_jpg_quality(int quality);
// 8-bit (with the 256-entry palette block when the record has a palette) or
// 24-bit as three planes, run-length encoded. 1 on success, 0 on failure.
int kpx_save_pcx(const char* path, const kpximage* img);
// 24- or 32-bit (32-bit records are taken in red, green, blue, alpha order),
// raw when rle is 0, run-length encoded otherwise. 1 on success, 0 on failure.
int kpx_save_tga(const char* path, const kpximage* img, int rle);

// ---- conversions (in place; 1 on success, 0 on failure) -------------------
int kpx_convert_32(kpximage* img);
int kpx_convert_24(kpximage* img);
int kpx_convert_16(kpximage* img);
int kpx_convert_gray(kpximage* img);
int kpx_convert_8(kpximage* img);

// ---- transforms (in place) -------------------------------------------------
int kpx_swap_colors(kpximage* img);  // always 0
int kpx_invert_colors(kpximage* img);
int kpx_scale(std::uint16_t width, std::uint16_t height, kpximage* img);
int kpx_scale_by(float fx, float fy, kpximage* img);
int kpx_flip_vertical(kpximage* img);    // left-right mirror
int kpx_flip_horizontal(kpximage* img);  // upside down
