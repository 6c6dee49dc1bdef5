#include "content/images/canvas.h"

#include "kpx/kpx.h"

#include <cstring>
#include <stdexcept>

namespace vantor::pictures {

void KpxDeleter::operator()(kpximage* img) const { kpx_free(img); }

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cr_ = cairo_create(surface_);
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot create a Cairo surface");
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void Canvas::fill(double r, double g, double b) {
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr_, r, g, b);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

void Canvas::flush() { cairo_surface_flush(surface_); }
void Canvas::markDirty() { cairo_surface_mark_dirty(surface_); }

namespace {

std::uint32_t* row(cairo_surface_t* s, int y) {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s) +
                                            static_cast<std::size_t>(y) * cairo_image_surface_get_stride(s));
}

std::uint8_t unpremultiply(std::uint32_t c, std::uint32_t a) {
    if (a == 0) return 0;
    return static_cast<std::uint8_t>((c * 255 + a / 2) / a);
}

}  // namespace

Pixel Canvas::get(int x, int y) const {
    const std::uint32_t v = row(surface_, y)[x];
    const std::uint32_t a = v >> 24;
    return {unpremultiply((v >> 16) & 0xFF, a), unpremultiply((v >> 8) & 0xFF, a), unpremultiply(v & 0xFF, a),
            static_cast<std::uint8_t>(a)};
}

void Canvas::set(int x, int y, Pixel p) {
    auto pre = [&](std::uint8_t c) { return static_cast<std::uint32_t>((c * p.a + 127) / 255); };
    row(surface_, y)[x] = (std::uint32_t(p.a) << 24) | (pre(p.r) << 16) | (pre(p.g) << 8) | pre(p.b);
}

KpxImage Canvas::toRgb24() {
    flush();
    KpxImage img(kpx_create(static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_), 24, 0));
    if (!img) throw std::runtime_error("out of memory for a picture");
    unsigned char* out = img->image;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* in = row(surface_, y);
        for (int x = 0; x < width_; ++x) {
            // Transparent areas count as black: premultiplied colour is what
            // the picture shows over black.
            *out++ = static_cast<unsigned char>((in[x] >> 16) & 0xFF);
            *out++ = static_cast<unsigned char>((in[x] >> 8) & 0xFF);
            *out++ = static_cast<unsigned char>(in[x] & 0xFF);
        }
    }
    return img;
}

KpxImage Canvas::toRgba32() {
    flush();
    KpxImage img(kpx_create(static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_), 32, 0));
    if (!img) throw std::runtime_error("out of memory for a picture");
    unsigned char* out = img->image;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Pixel p = get(x, y);
            *out++ = p.r;
            *out++ = p.g;
            *out++ = p.b;
            *out++ = p.a;
        }
    }
    return img;
}

KpxImage Canvas::toGrey8() {
    flush();
    KpxImage img(kpx_create(static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_), 8, 256));
    if (!img) throw std::runtime_error("out of memory for a picture");
    for (int i = 0; i < 256; ++i) std::memset(img->palette + 3 * i, i, 3);
    unsigned char* out = img->image;
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* in = row(surface_, y);
        for (int x = 0; x < width_; ++x) *out++ = static_cast<unsigned char>((in[x] >> 16) & 0xFF);
    }
    return img;
}

}  // namespace vantor::pictures
