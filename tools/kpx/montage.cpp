#include "tools/kpx/montage.h"

#include "imglib/image_library.h"
#include "kpx/kpx.h"

#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int kColumns = 5;
constexpr int kBoxW = 208, kBoxH = 156;  // thumbnail area of a cell
constexpr int kCellW = 224, kCellH = 204;
constexpr int kMargin = 16;
constexpr int kThinSide = 24;  // strips (a 256 x 1 ramp) are shown at least this tall

struct FreeImage {
    void operator()(kpximage* img) const { kpx_free(img); }
};
using Image = std::unique_ptr<kpximage, FreeImage>;

struct FreeSurface {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, FreeSurface>;

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The record as premultiplied ARGB pixels, 32-bit records over a checkerboard
// so that their transparent parts show as such.
Surface toSurface(const kpximage* img) {
    Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img->width, img->height));
    const int stride = cairo_image_surface_get_stride(s.get());
    unsigned char* data = cairo_image_surface_get_data(s.get());
    const std::size_t bytes = kpx_bytes_per_pixel(img->bpp);
    for (int y = 0; y < img->height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < img->width; ++x) {
            const unsigned char* p = img->image + (static_cast<std::size_t>(y) * img->width + x) * bytes;
            unsigned r = 0, g = 0, b = 0;
            if (bytes == 1) {
                if (img->colors > p[0]) {
                    r = img->palette[3 * p[0]];
                    g = img->palette[3 * p[0] + 1];
                    b = img->palette[3 * p[0] + 2];
                } else {
                    r = g = b = p[0];
                }
            } else if (bytes == 2) {
                const unsigned v = static_cast<unsigned>(p[0]) << 8 | p[1];
                r = (v >> 11) * 255 / 31;
                g = ((v >> 5) & 63) * 255 / 63;
                b = (v & 31) * 255 / 31;
            } else {
                r = p[0];
                g = p[1];
                b = p[2];
                if (bytes == 4) {
                    const unsigned check = ((x / 8 + y / 8) & 1) ? 96 : 64;
                    const unsigned a = p[3];
                    r = (r * a + check * (255 - a)) / 255;
                    g = (g * a + check * (255 - a)) / 255;
                    b = (b * a + check * (255 - a)) / 255;
                }
            }
            row[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    cairo_surface_mark_dirty(s.get());
    return s;
}

}  // namespace

int writeMontage(const std::string& out, const std::vector<std::string>& files) {
    std::vector<Image> images;
    for (const std::string& file : files) {
        const ImageReader reader = imageReaderFor(file);
        if (!reader) {
            std::fprintf(stderr, "kpx: %s: not a .pcx, .gif, .tga or .jpg name\n", file.c_str());
            return 1;
        }
        kpx_error_clear();
        Image img(reader(file.c_str()));
        if (!img) {
            std::fprintf(stderr, "kpx: %s: %s\n", file.c_str(), kpx_error_last());
            return 1;
        }
        images.push_back(std::move(img));
    }
    const int count = static_cast<int>(images.size());
    const int columns = std::min(kColumns, count);
    const int rows = (count + kColumns - 1) / kColumns;
    Surface sheet(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2 * kMargin + columns * kCellW, 2 * kMargin + rows * kCellH));
    cairo_t* cr = cairo_create(sheet.get());
    cairo_set_source_rgb(cr, 0.10, 0.10, 0.13);
    cairo_paint(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    for (int i = 0; i < count; ++i) {
        const kpximage* img = images[static_cast<std::size_t>(i)].get();
        const double cellX = kMargin + (i % kColumns) * kCellW, cellY = kMargin + (i / kColumns) * kCellH;
        // Fit the thumbnail into its box, keeping the picture's proportions
        // (but never thinner than a strip can be seen).
        const double scale =
            std::min(static_cast<double>(kBoxW) / img->width, static_cast<double>(kBoxH) / img->height);
        const double w = img->width * scale, h = std::max(img->height * scale, std::min<double>(kThinSide, kBoxH));
        const double x = cellX + (kCellW - w) / 2, y = cellY + (kBoxH - h) / 2 + 4;
        Surface picture = toSurface(img);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, w / img->width, h / img->height);
        cairo_set_source_surface(cr, picture.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);

        const std::string name = baseName(files[static_cast<std::size_t>(i)]);
        char size[64];
        std::snprintf(size, sizeof size, "%u x %u, %u bit", img->width, img->height, img->bpp);
        for (int line = 0; line < 2; ++line) {
            const std::string& text = line == 0 ? name : std::string(size);
            cairo_set_font_size(cr, line == 0 ? 12 : 11);
            cairo_text_extents_t e;
            cairo_text_extents(cr, text.c_str(), &e);
            cairo_set_source_rgb(cr, line == 0 ? 0.92 : 0.62, line == 0 ? 0.94 : 0.66, line == 0 ? 1.0 : 0.74);
            cairo_move_to(cr, cellX + (kCellW - e.x_advance) / 2, cellY + kBoxH + 22 + line * 16);
            cairo_show_text(cr, text.c_str());
        }
    }
    cairo_destroy(cr);
    if (cairo_surface_write_to_png(sheet.get(), out.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "kpx: %s: cannot write the sheet\n", out.c_str());
        return 1;
    }
    return 0;
}
