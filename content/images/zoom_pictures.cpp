// The nested zoom: four views of one neighbourhood of the Mandelbrot set,
// each a quarter the width of the next around the same centre (zoom3 the
// widest), so every picture is exactly the centre quarter of the next one
// drawn at four times the detail.
#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/parallel_rows.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
    double x = 0, y = 0, seenX = 0, seenY = 0;
    for (int i = 0; i < kMaxIterations; ++i) {
        const double xx = x * x, yy = y * y;
        if (xx + yy > 1e6) return i + 1 - std::log2(0.5 * std::log(xx + yy));
        y = 2 * x * y + cy;
        x = xx - yy + cx;
        // An orbit that comes back to a point seen before is periodic: inside.
        if (std::abs(x - seenX) < 1e-13 && std::abs(y - seenY) < 1e-13) return -1;
        if ((i & (i + 1)) == 0) {
            seenX = x;
            seenY = y;
        }
    }
    return -1;
}

// Palette along the escape count: a slow cycle through the demo's colours.
Colour shade(double n) {
    if (n < 0) return colourOf(look::kDeepBackground);
    // Dark stops between the bright ones, so wide smooth regions outside the
    // set stay mostly dark and the light gathers in bands near its edge.
    static const Colour stops[] = {colourOf(look::kDeepBackground),
                                   colourOf(look::kNightBlue),
                                   mix(colourOf(look::kNightBlue), colourOf(look::kCoolLight), 0.6f),
                                   colourOf(look::kDeepBackground2),
                                   colourOf(look::kIndigo),
                                   colourOf(look::kHotAccent, 0.9f),
                                   colourOf(look::kDeepBackground2),
                                   colourOf(look::kWarmAccent, 0.8f)};
    constexpr int count = sizeof(stops) / sizeof(stops[0]);
    // Counts below about 8 (far outside) stay deep; the cycle then runs once
    // every 85-fold growth of the count.
    const double t = std::max(0.0, std::log(n + 1.0) - 2.2) * 1.8;
    const double f = t - std::floor(t / count) * count;
    const int i = static_cast<int>(f);
    const float u = static_cast<float>(f - i);
    const float smooth = u * u * (3 - 2 * u);
    return mix(stops[i], stops[(i + 1) % count], smooth);
}

// One level as light values. Its centre quarter is the next deeper level
// averaged 4 x 4 down (so the nest matches exactly, and the centre gets 64
// samples a pixel); the rest is sampled four times a pixel on a rotated grid,
// for clean edges.
void fillZoom(int level, std::vector<Field>& fields) {
    const double pixel = kWidestSpan / std::pow(4.0, 3 - level) / kSize;
    static const double offsets[4][2] = {{0.125, 0.375}, {0.625, 0.125}, {0.875, 0.625}, {0.375, 0.875}};
    Field& field = fields[static_cast<std::size_t>(level)];
    const int q = kSize / 4, origin = (kSize - q) / 2;
    forEachRow(kSize, [&](int y) {
        for (int x = 0; x < kSize; ++x) {
            Colour sum{0, 0, 0};
            if (level > 0 && x >= origin && x < origin + q && y >= origin && y < origin + q) {
                const Field& inner = fields[static_cast<std::size_t>(level - 1)];
                for (int dy = 0; dy < 4; ++dy)
                    for (int dx = 0; dx < 4; ++dx) {
                        const Colour& c = inner.at(4 * (x - origin) + dx, 4 * (y - origin) + dy);
                        sum = {sum.r + c.r / 16, sum.g + c.g / 16, sum.b + c.b / 16};
                    }
            } else {
                for (const auto& o : offsets) {
                    const double cx = kCentreX + (x + o[0] - kSize / 2.0) * pixel;
                    const double cy = kCentreY - (y + o[1] - kSize / 2.0) * pixel;
                    const Colour c = shade(escape(cx, cy));
                    sum = {sum.r + c.r / 4, sum.g + c.g / 4, sum.b + c.b / 4};
                }
            }
            field.at(x, y) = sum;
        }
    });
}

// All four levels, deepest first, made once for the four files.
const Field& zoomField(int level) {
    static std::vector<Field> fields;
    if (fields.empty()) {
        for (int l = 0; l < 4; ++l) fields.emplace_back(kSize, kSize);
        for (int l = 0; l < 4; ++l) fillZoom(l, fields);
    }
    return fields[static_cast<std::size_t>(level)];
}

}  // namespace

void makeZoom(int level, const std::string& out) {
    Canvas canvas(kSize, kSize);
    zoomField(level).paint(canvas, 0.8, 60 + level);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
