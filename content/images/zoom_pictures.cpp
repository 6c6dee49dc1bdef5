// The nested zoom: four views of one neighbourhood of the Mandelbrot set,
// each a quarter the width of the next around the same centre (zoom3 the
// widest), so every picture is exactly the centre quarter of the next one
// drawn at four times the detail.
#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <cmath>

namespace vantor::pictures {

namespace {

constexpr int kSize = 512;
// The dive goes into the valley between the main cardioid and the large
// bulb on its left, where spirals of spirals open up.
constexpr double kCentreX = -0.743643887037151;
constexpr double kCentreY = 0.131825904205330;
constexpr double kWidestSpan = 0.16;  // width of zoom3 in the complex plane
constexpr int kMaxIterations = 1200;

// Smooth escape count of c, or -1 inside the set.
double escape(double cx, double cy) {
    // Points in the main cardioid or the period-2 bulb never escape.
    const double q = (cx - 0.25) * (cx - 0.25) + cy * cy;
    if (q * (q + (cx - 0.25)) <= 0.25 * cy * cy || (cx + 1) * (cx + 1) + cy * cy <= 0.0625) return -1;
    double x = 0, y = 0;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double xx = x * x, yy = y * y;
        if (xx + yy > 1e6) return i + 1 - std::log2(0.5 * std::log(xx + yy));
        y = 2 * x * y + cy;
        x = xx - yy + cx;
    }
    return -1;
}

// Palette along the escape count: a slow cycle through the demo's colours.
Colour shade(double n) {
    if (n < 0) return colourOf(look::kDeepBackground);
    static const look::Rgb stops[] = {look::kDeepBackground, look::kNightBlue, look::kCoolLight, look::kChrome,
                                      look::kIndigo,         look::kHotAccent, look::kWarmAccent, look::kDeepBackground2};
    constexpr int count = sizeof(stops) / sizeof(stops[0]);
    const double t = std::log(n + 1.0) * 2.2;
    const double f = t - std::floor(t / count) * count;
    const int i = static_cast<int>(f);
    const float u = static_cast<float>(f - i);
    const float smooth = u * u * (3 - 2 * u);
    return mix(colourOf(stops[i]), colourOf(stops[(i + 1) % count]), smooth);
}

}  // namespace

void makeZoom(int level, const std::string& out) {
    const double span = kWidestSpan / std::pow(4.0, 3 - level);
    const double pixel = span / kSize;
    // Four samples a pixel on a rotated grid, for clean edges.
    static const double offsets[4][2] = {{0.125, 0.375}, {0.625, 0.125}, {0.875, 0.625}, {0.375, 0.875}};
    Field field(kSize, kSize);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            Colour sum{0, 0, 0};
            for (const auto& o : offsets) {
                const double cx = kCentreX + (x + o[0] - kSize / 2.0) * pixel;
                const double cy = kCentreY - (y + o[1] - kSize / 2.0) * pixel;
                const Colour c = shade(escape(cx, cy));
                sum = {sum.r + c.r / 4, sum.g + c.g / 4, sum.b + c.b / 4};
            }
            field.at(x, y) = sum;
        }
    }
    Canvas canvas(kSize, kSize);
    field.paint(canvas, 0.8, 60 + level);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
