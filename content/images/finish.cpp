#include "content/images/finish.h"

#include "content/images/canvas.h"
#include "content/images/noise.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantor::pictures {

namespace {

// One box pass over `count` samples spaced `step` apart (4 channels each).
void boxLine(std::uint8_t* data, int count, int step, int radius, bool wrap, std::vector<int>& tmp) {
    tmp.assign(static_cast<std::size_t>(count) * 4, 0);
    const int window = 2 * radius + 1;
    auto at = [&](int i, int c) -> int {
        if (wrap) {
            i %= count;
            if (i < 0) i += count;
        } else {
            i = std::clamp(i, 0, count - 1);
        }
        return data[static_cast<std::size_t>(i) * step + c];
    };
    for (int c = 0; c < 4; ++c) {
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += at(i, c);
        for (int i = 0; i < count; ++i) {
            tmp[static_cast<std::size_t>(i) * 4 + c] = sum;
            sum += at(i + radius + 1, c) - at(i - radius, c);
        }
    }
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 4; ++c)
            data[static_cast<std::size_t>(i) * step + c] =
                static_cast<std::uint8_t>((tmp[static_cast<std::size_t>(i) * 4 + c] + window / 2) / window);
}

}  // namespace

void blur(Canvas& canvas, int radius, bool wrapX) {
    if (radius <= 0) return;
    canvas.flush();
    std::uint8_t* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    const int w = canvas.width(), h = canvas.height();
    std::vector<int> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) boxLine(data + static_cast<std::size_t>(y) * stride, w, 4, radius, wrapX, tmp);
        for (int x = 0; x < w; ++x) boxLine(data + static_cast<std::size_t>(x) * 4, h, stride, radius, false, tmp);
    }
    canvas.markDirty();
}

void addGlow(Canvas& target, Canvas& glow, int radius, double strength, bool wrapX) {
    blur(glow, radius, wrapX);
    cairo_t* cr = target.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(cr, glow.surface(), 0, 0);
    while (strength >= 1.0) {
        cairo_paint(cr);
        strength -= 1.0;
    }
    if (strength > 0) cairo_paint_with_alpha(cr, strength);
    cairo_restore(cr);
}

void addGrain(Canvas& canvas, double amount, std::uint64_t seed, int threshold) {
    canvas.flush();
    Rng rng(seed);
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            Pixel p = canvas.get(x, y);
            const int peak = std::max({p.r, p.g, p.b});
            const double n = rng.triangular() * amount;
            if (peak < threshold || p.a == 0) continue;
            const double ramp = std::min(1.0, (peak - threshold + 1) / 4.0);
            auto jitter = [&](std::uint8_t c) {
                return static_cast<std::uint8_t>(std::clamp(std::lround(c + n * ramp), 0L, 255L));
            };
            p.r = jitter(p.r);
            p.g = jitter(p.g);
            p.b = jitter(p.b);
            canvas.set(x, y, p);
        }
    }
    canvas.markDirty();
}

}  // namespace vantor::pictures
