// A floating-point RGB picture for procedural work (nebulae, stars, fractals):
// light is summed in linear floats and only quantised, with dithering, when
// the field is copied onto a canvas, so soft gradients never band.
#pragma once

#include "content/common/demo_look.h"

#include <cstdint>
#include <vector>

namespace vantor::pictures {

class Canvas;

struct Colour {
    float r, g, b;
};
Colour colourOf(look::Rgb c, float scale = 1.0f);
Colour mix(Colour a, Colour b, float t);

class Field {
public:
    Field(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    Colour& at(int x, int y) { return data_[static_cast<std::size_t>(y) * width_ + x]; }
    const Colour& at(int x, int y) const { return data_[static_cast<std::size_t>(y) * width_ + x]; }
    void add(int x, int y, Colour c);

    // Adds a soft round light: a Gaussian of the given radii (sigma, pixels)
    // centred at (cx, cy). wrapX repeats it across the left and right edges.
    void splat(double cx, double cy, double sigmaX, double sigmaY, Colour c, bool wrapX = false);

    // Copies onto the canvas as opaque pixels (0..1 maps to 0..255), with
    // `dither` levels of triangular noise; values are clipped.
    void paint(Canvas& canvas, double dither, std::uint64_t seed) const;

private:
    int width_, height_;
    std::vector<Colour> data_;
};

}  // namespace vantor::pictures
