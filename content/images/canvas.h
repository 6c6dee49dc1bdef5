// A picture being drawn: a Cairo image surface (premultiplied ARGB) with its
// drawing context, plus the conversions to the KPX records the files are
// written from.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>

struct kpximage;

namespace vantor::pictures {

struct KpxDeleter {
    void operator()(kpximage* img) const;
};
using KpxImage = std::unique_ptr<kpximage, KpxDeleter>;

// Straight (not premultiplied) colour of one pixel, 0..255 a channel.
struct Pixel {
    std::uint8_t r, g, b, a;
};

class Canvas {
public:
    // Starts fully transparent black.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    // Fills everything with an opaque colour (0..1 a channel).
    void fill(double r, double g, double b);

    // Direct pixel access; call flush() before reading after Cairo drew and
    // markDirty() after writing, so Cairo and our code see the same pixels.
    void flush();
    void markDirty();
    Pixel get(int x, int y) const;
    void set(int x, int y, Pixel p);

    // Records for the KPX writers: 24-bit red, green, blue (alpha dropped,
    // colours un-premultiplied); 32-bit red, green, blue, alpha; 8-bit grey
    // (the red channel) with a grey ramp palette.
    KpxImage toRgb24();
    KpxImage toRgba32();
    KpxImage toGrey8();

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace vantor::pictures
