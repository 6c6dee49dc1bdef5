// Pictures the effects read as data more than as images: the wipe's
// transition map, the glow scene's hole map, the cel-shading ramp, and the
// two additive sprites (particle and exhaust flare).
#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/noise.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"
#include "kpx/kpx.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>
#include <vector>

namespace vantor::pictures {

namespace {

constexpr double kPi = 3.14159265358979323846;

double smoothstep(double a, double b, double x) {
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void setGrey(Canvas& canvas, int x, int y, double v) {
    const auto g = static_cast<std::uint8_t>(std::clamp(std::lround(v * 255.0), 0L, 255L));
    canvas.set(x, y, {g, g, g, 255});
}

}  // namespace

// 256 x 256 grey levels giving the order in which the wipe changes the
// picture: a three-armed spiral that opens from the centre outwards, with a
// little turbulence on its edges. The levels are equalised so that every grey
// level covers the same area and the sweep runs at an even pace from 0 to 255.
void makeWipeMap(const std::string& out) {
    const int s = 256;
    std::vector<double> order(static_cast<std::size_t>(s) * s);
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double dx = (x + 0.5 - s / 2.0) / (s / 2.0), dy = (y + 0.5 - s / 2.0) / (s / 2.0);
            const double r = std::sqrt(dx * dx + dy * dy);
            const double angle = std::atan2(dy, dx) / (2 * kPi) + 0.5;
            const double arms = angle * 3 + r * 1.6 + 0.08 * fractalNoise(x / 40.0, y / 40.0, 3, 0.5, 0, 0, 81);
            order[static_cast<std::size_t>(y) * s + x] = r * 0.7 + (arms - std::floor(arms)) * 0.3;
        }
    }
    std::vector<std::size_t> rank(order.size());
    std::iota(rank.begin(), rank.end(), 0);
    std::stable_sort(rank.begin(), rank.end(), [&](std::size_t a, std::size_t b) { return order[a] < order[b]; });
    Canvas canvas(s, s);
    canvas.flush();
    for (std::size_t i = 0; i < rank.size(); ++i) {
        const auto level = static_cast<std::uint8_t>(i * 256 / rank.size());
        canvas.set(static_cast<int>(rank[i] % s), static_cast<int>(rank[i] / s), {level, level, level, 255});
    }
    canvas.markDirty();
    writePicture(canvas, FileKind::GreyPcx, out);
}

// The glow scene's cut-out, as large as the stone texture it is cut into:
// white where the stone stays, black where it is eaten through, with soft
// edges. Repeats on all sides like the texture.
void makeHoleMap(const std::string& out) {
    const int w = look::kHoleMapWidth, h = look::kHoleMapHeight;
    Canvas canvas(w, h);
    canvas.flush();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double n = fractalNoise(x * 4.0 / w, y * 4.0 / h, 4, 0.45, 4, 4, 91);
            setGrey(canvas, x, y, smoothstep(-0.22, -0.12, n));
        }
    }
    canvas.markDirty();
    writePicture(canvas, FileKind::GreyJpeg, out);
}

// The cel-shading ramp, 256 x 1, 8-bit with its palette: shade i is pixel i.
// Four hard steps from the unlit indigo to the chrome highlight.
void makeCelPalette(const std::string& out) {
    KpxImage img(kpx_create(256, 1, 8, 256));
    if (!img) throw std::runtime_error("out of memory for the cel palette");
    static const look::Rgb steps[] = {look::kIndigo, look::kNightBlue, {0x2a, 0x8c, 0xc8}, look::kChrome};
    for (int i = 0; i < 256; ++i) {
        const look::Rgb c = steps[i * 4 / 256];
        img->palette[3 * i] = c.r;
        img->palette[3 * i + 1] = c.g;
        img->palette[3 * i + 2] = c.b;
        img->image[i] = static_cast<unsigned char>(i);
    }
    kpx_error_clear();
    if (!kpx_save_pcx(out.c_str(), img.get())) throw std::runtime_error(out + ": " + kpx_error_last());
}

// 64 x 64 soft round glow, grey on black (the particle effect tints it and
// takes its brightness as alpha): a bright core in a wide halo, exactly black
// at the square's edge so 500 of them add up without visible corners.
void makeParticle(const std::string& out) {
    const int s = 64;
    Canvas canvas(s, s);
    canvas.flush();
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double dx = (x + 0.5 - s / 2.0) / (s / 2.0), dy = (y + 0.5 - s / 2.0) / (s / 2.0);
            const double r2 = dx * dx + dy * dy;
            const double v = (0.7 * std::exp(-r2 / (2 * 0.1 * 0.1)) + 0.3 * std::exp(-r2 / (2 * 0.32 * 0.32))) *
                             (1 - smoothstep(0.7, 1.0, std::sqrt(r2)));
            setGrey(canvas, x, y, v);
        }
    }
    canvas.markDirty();
    writePicture(canvas, FileKind::Pcx24, out);
}

// 128 x 128 exhaust flare for additive billboards: a white-hot core, a cool
// blue bloom and a thin horizontal streak, black at the borders.
void makeFlare(const std::string& out) {
    const int s = 128;
    Field field(s, s);
    const double c = s / 2.0;
    field.splat(c, c, 3, 3, colourOf(look::kWhite, 1.6f));
    field.splat(c, c, 10, 10, colourOf(look::kCoolLight, 0.7f));
    field.splat(c, c, 22, 22, colourOf(look::kCoolLight, 0.25f));
    field.splat(c, c, 40, 1.6, colourOf(look::kChrome, 0.5f));
    field.splat(c, c, 18, 3.5, colourOf(look::kHotAccent, 0.2f));
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const double dx = (x + 0.5 - c) / c, dy = (y + 0.5 - c) / c;
            const float edge = static_cast<float>(1 - smoothstep(0.75, 1.0, std::max(std::abs(dx), std::abs(dy))));
            Colour& p = field.at(x, y);
            p = {p.r * edge, p.g * edge, p.b * edge};
            if (p.r < 0.004f && p.g < 0.004f && p.b < 0.004f) p = {0, 0, 0};
        }
    Canvas canvas(s, s);
    field.paint(canvas, 0.8, 95);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
