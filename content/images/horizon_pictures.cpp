// The horizon panorama: one 2048 x 512 picture of a planet's limb at dawn,
// cut into two 1024 x 512 halves that scroll side by side, and the layer that
// is added over it at half speed.
#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/noise.h"
#include "content/images/parallel_rows.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <algorithm>
#include <cmath>

namespace vantor::pictures {

namespace {

constexpr int kHalfWidth = 1024;
constexpr int kHeight = 512;
// Each half is drawn two screen widths wide (1280 pixels) and one screen high
// (480), so an image pixel shows 4/3 as wide as it is high: round shapes are
// drawn 3/4 as wide in the picture.
constexpr double kSqueeze = 0.75;
// Where the sun comes up: in the last screen width the scroll stops on.
constexpr double kSunX = 1750;

// Height of the planet's limb at panorama column x.
double limbY(double x) {
    const double cx = 1200, radius = 5200 * kSqueeze;
    const double dx = (x - cx) * kSqueeze;
    return 330 + dx * dx / (2 * radius) * 0.9;
}

constexpr int kPanoramaWidth = 2 * kHalfWidth;

// The demo's colours the panorama is painted in, converted once.
struct Palette {
    Colour deep = colourOf(look::kDeepBackground), deep2 = colourOf(look::kDeepBackground2);
    Colour cool = colourOf(look::kCoolLight), warm = colourOf(look::kWarmAccent), hot = colourOf(look::kHotAccent);
    Colour indigo = colourOf(look::kIndigo), night = colourOf(look::kNightBlue);
};

// Sky above the limb: deep at the top, night blue towards the limb, dawn near the sun.
Colour skyColour(const Palette& p, int x, int y, double limb, double sunDist) {
    const int w = kPanoramaWidth, h = kHeight;
    const double up = (limb - y) / limb;
    Colour c = mix(p.deep2, p.deep, static_cast<float>(std::pow(up, 0.6)));
    const double n = fractalNoise(x * 5.0 / w * 2, y * 4.0 / h, 5, 0.55, 0, 0, 41);
    c = mix(c, p.indigo, static_cast<float>(std::max(0.0, n) * 0.5 * up));
    const double haze = std::exp(-(limb - y) / 14.0);
    // Dawn: a tight warm glow round the sun inside a wide rose one.
    const double dawn = std::exp(-sunDist / 150.0), rose = std::exp(-sunDist / 420.0) * std::exp(-(limb - y) / 220.0);
    c.r += static_cast<float>(p.cool.r * haze * 0.55 + p.warm.r * dawn * 0.5 + p.hot.r * rose * 0.22);
    c.g += static_cast<float>(p.cool.g * haze * 0.55 + p.warm.g * dawn * 0.5 + p.hot.g * rose * 0.22);
    c.b += static_cast<float>(p.cool.b * haze * 0.55 + p.warm.b * dawn * 0.5 + p.hot.b * rose * 0.22);
    return c;
}

// The planet's night side below the limb: dark land and sea, clouds, city
// lights, the lit rim and the sun's reflection.
Colour nightSideColour(const Palette& p, int x, int y, double limb, double sunDist) {
    const int w = kPanoramaWidth, h = kHeight;
    const double depth = (y - limb) / (h - limb + 1);
    // Foreshortened towards the limb: ground features flatten as they recede.
    const double u = x * 9.0 / w, v = 3 + 9.0 * std::sqrt(depth);
    const double land = fractalNoise(u, v, 6, 0.5, 0, 0, 42);
    Colour c = mix(p.deep, land > 0 ? p.deep2 : p.deep, 0.9f);
    const double cloud = std::max(0.0, fractalNoise(u * 1.3, v * 2.5, 5, 0.5, 0, 0, 43) - 0.05);
    c = mix(c, p.night, static_cast<float>(cloud * 0.8 * (1 - depth * 0.5)));
    // City lights: fine specks, only where a coarser noise says a city lies,
    // and mostly near the coasts.
    const double speck = gradientNoise(x * 0.6, y * 1.1, 0, 0, 44);
    const double urban = std::clamp((fractalNoise(u * 4, v * 2, 3, 0.5, 0, 0, 47) - 0.1) * 4.0, 0.0, 1.0);
    if (land > 0 && land < 0.3 && speck > 0.3 && urban > 0) {
        const float k = static_cast<float>((speck - 0.3) * 3.0 * urban * std::exp(-land * 10.0) * (0.4 + depth));
        c = {c.r + p.warm.r * k, c.g + p.warm.g * k, c.b + p.warm.b * k};
    }
    const double rim = std::exp(-(y - limb) / 3.0);
    const double glint = std::exp(-sunDist / 140.0);
    c.r += static_cast<float>(p.cool.r * rim * 0.8 + p.warm.r * glint * 0.5);
    c.g += static_cast<float>(p.cool.g * rim * 0.8 + p.warm.g * glint * 0.5);
    c.b += static_cast<float>(p.cool.b * rim * 0.8 + p.warm.b * glint * 0.5);
    return c;
}

// Stars in the sky, none on or just above the limb.
void scatterStars(Field& field) {
    Rng rng(45);
    for (int i = 0; i < 2200; ++i) {
        const double x = rng.range(0, kPanoramaWidth), y = rng.range(0, kHeight);
        if (y > limbY(x) - 6) continue;
        const double b = std::pow(rng.uniform(), 4.0);
        field.splat(x, y, (0.45 + 0.8 * b) * kSqueeze, 0.45 + 0.8 * b,
                    colourOf(look::kChrome, static_cast<float>(0.1 + 1.3 * b)));
    }
}

// The sun: a hot white point sitting on the limb, with a wide warm bloom.
void addSun(Field& field) {
    const double sy = limbY(kSunX);
    field.splat(kSunX, sy, 5 * kSqueeze, 5, colourOf(look::kWhite, 3.0f));
    field.splat(kSunX, sy, 30 * kSqueeze, 18, colourOf(look::kWarmAccent, 0.6f));
    field.splat(kSunX, sy, 400 * kSqueeze, 6, colourOf(look::kWarmAccent, 0.35f));
}

Field panorama() {
    Field field(kPanoramaWidth, kHeight);
    const Palette palette;
    forEachRow(kHeight, [&](int y) {
        for (int x = 0; x < kPanoramaWidth; ++x) {
            const double limb = limbY(x);
            const double sunDx = (x - kSunX) * kSqueeze, sunDy = y - limb;
            const double sunDist = std::sqrt(sunDx * sunDx + sunDy * sunDy);
            field.at(x, y) =
                y < limb ? skyColour(palette, x, y, limb, sunDist) : nightSideColour(palette, x, y, limb, sunDist);
        }
    });
    scatterStars(field);
    addSun(field);
    return field;
}

void writeHalf(int half, const std::string& out) {
    static const Field field = panorama();
    Field part(kHalfWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kHalfWidth; ++x) part.at(x, y) = field.at(half * kHalfWidth + x, y);
    Canvas canvas(kHalfWidth, kHeight);
    part.paint(canvas, 1.2, 46 + half);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace

void makeHorizonLeft(const std::string& out) { writeHalf(0, out); }
void makeHorizonRight(const std::string& out) { writeHalf(1, out); }

// Added over the panorama at half its speed: high thin aurora ribbons and
// drifting light dust, black wherever it adds nothing, fading out towards
// its right edge (the scroll runs past it).
void makeHorizonOverlay(const std::string& out) {
    const int w = kHalfWidth, h = kHeight;
    Field field(w, h);
    const Colour cool = colourOf(look::kCoolLight), hot = colourOf(look::kHotAccent);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double fadeOut = std::clamp((w - x) / 180.0, 0.0, 1.0);
            const double u = x / double(w);
            const double centre = 150 + 60 * std::sin(u * 7.0) + 40 * gradientNoise(u * 4, 0.5, 0, 0, 51);
            const double curtain = std::exp(-std::pow((y - centre) / 55.0, 2.0));
            const double rays = std::max(0.0, gradientNoise(x * 0.05, 0.3, 0, 0, 52) * 0.5 + 0.5);
            const double a = curtain * (0.3 + 0.7 * rays * rays) * 0.75 * fadeOut;
            const float t = static_cast<float>(std::clamp((centre - y) / 80.0 + 0.5, 0.0, 1.0));
            const Colour c = mix(cool, hot, t * 0.8f);
            const float k = a > 0.01 ? static_cast<float>(a) : 0.0f;
            field.at(x, y) = {c.r * k, c.g * k, c.b * k};
        }
    }
    Rng rng(53);
    for (int i = 0; i < 260; ++i) {
        const double x = rng.range(0, w - 120), y = rng.range(0, h);
        const double b = std::pow(rng.uniform(), 2.0);
        field.splat(x, y, (1.0 + 2.0 * b) * kSqueeze, 1.0 + 2.0 * b,
                    colourOf(look::kCoolLight, static_cast<float>(0.15 + 0.6 * b)));
    }
    Canvas canvas(w, h);
    field.paint(canvas, 1.0, 54);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
