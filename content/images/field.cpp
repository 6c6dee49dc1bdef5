#include "content/images/field.h"

#include "content/images/canvas.h"
#include "content/images/noise.h"

#include <algorithm>
#include <cmath>

namespace vantor::pictures {

Colour colourOf(look::Rgb c, float scale) { return {c.rf() * scale, c.gf() * scale, c.bf() * scale}; }

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Field::Field(int width, int height)
    : width_(width), height_(height), data_(static_cast<std::size_t>(width) * height, Colour{0, 0, 0}) {}

void Field::add(int x, int y, Colour c) {
    Colour& d = at(x, y);
    d.r += c.r;
    d.g += c.g;
    d.b += c.b;
}

void Field::splat(double cx, double cy, double sigmaX, double sigmaY, Colour c, bool wrapX) {
    const int rx = static_cast<int>(std::ceil(sigmaX * 3.5)), ry = static_cast<int>(std::ceil(sigmaY * 3.5));
    const int x0 = static_cast<int>(std::floor(cx)) - rx, x1 = static_cast<int>(std::floor(cx)) + rx + 1;
    const int y0 = std::max(0, static_cast<int>(std::floor(cy)) - ry);
    const int y1 = std::min(height_ - 1, static_cast<int>(std::floor(cy)) + ry + 1);
    for (int y = y0; y <= y1; ++y) {
        const double dy = (y + 0.5 - cy) / sigmaY;
        for (int x = x0; x <= x1; ++x) {
            int px = x;
            if (wrapX) {
                px %= width_;
                if (px < 0) px += width_;
            } else if (px < 0 || px >= width_) {
                continue;
            }
            const double dx = (x + 0.5 - cx) / sigmaX;
            const float w = static_cast<float>(std::exp(-0.5 * (dx * dx + dy * dy)));
            if (w < 1e-4f) continue;
            add(px, y, {c.r * w, c.g * w, c.b * w});
        }
    }
}

void Field::paint(Canvas& canvas, double dither, std::uint64_t seed) const {
    Rng rng(seed);
    canvas.flush();
    auto level = [&](float v, double n) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0 + n), 0L, 255L));
    };
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const Colour& c = at(x, y);
            const double n = rng.triangular() * dither;
            // Pure black stays black (additive pictures add nothing there).
            const bool black = c.r <= 0 && c.g <= 0 && c.b <= 0;
            canvas.set(x, y, {level(c.r, black ? 0 : n), level(c.g, black ? 0 : n), level(c.b, black ? 0 : n), 255});
        }
    }
    canvas.markDirty();
}

}  // namespace vantor::pictures
