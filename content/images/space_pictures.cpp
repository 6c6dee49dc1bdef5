// Space: the scrolling star field, the galaxy texture of the metaballs and the
// night-side planet texture.
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

constexpr double kPi = 3.14159265358979323846;

// A star's colour: mostly chrome white, some cool blue, a few warm.
Colour starColour(Rng& rng) {
    const double k = rng.uniform();
    if (k < 0.12) return colourOf(look::kWarmAccent);
    if (k < 0.45) return mix(colourOf(look::kCoolLight), colourOf(look::kChrome), 0.5f);
    return colourOf(look::kChrome);
}

// Stars of power-law brightness scattered over the field; wrapX makes every
// star that crosses the left or right edge continue on the other side.
void scatterStars(Field& field, Rng& rng, int count, double aspectX, double brightness, bool wrapX) {
    for (int i = 0; i < count; ++i) {
        const double x = rng.range(0, field.width()), y = rng.range(0, field.height());
        const double b = std::pow(rng.uniform(), 4.0);
        const double sigma = 0.45 + 0.9 * b;
        const Colour c = starColour(rng);
        const float intensity = static_cast<float>((0.08 + 1.6 * b) * brightness);
        field.splat(x, y, sigma * aspectX, sigma, {c.r * intensity, c.g * intensity, c.b * intensity}, wrapX);
        if (b > 0.55) {
            // The brightest get a faint halo.
            field.splat(x, y, 5 * aspectX, 5, {c.r * 0.05f, c.g * 0.06f, c.b * 0.08f}, wrapX);
        }
    }
}

}  // namespace

// 1024 x 512, shown one image width across the 640 x 480 screen (so squeezed
// to two thirds sideways) and scrolling with wrap-around: the nebula noise
// repeats across the width, the faint band of the galaxy's plane follows a
// curve with the same period, and stars wrap, so the left and right edges join.
void makeStarField(const std::string& out) {
    const int w = 1024, h = 512;
    Field field(w, h);
    const Colour deep = colourOf(look::kDeepBackground);
    const Colour blue = colourOf(look::kNightBlue), indigo = colourOf(look::kIndigo);
    // Distance from the middle of the band, in pixels.
    auto band = [&](double x, double y) { return y - (h * 0.55 + 70 * std::sin(2 * kPi * x / w)); };
    forEachRow(h, [&](int y) {
        for (int x = 0; x < w; ++x) {
            const double u = x * 6.0 / w, v = y * 3.0 / h;
            const double n = fractalNoise(u, v, 6, 0.55, 6, 0, 11);
            const double hue = 0.5 + 0.5 * gradientNoise(x * 3.0 / w, v * 0.8, 3, 0, 13);
            const double d = band(x, y);
            const double glow = std::exp(-d * d / (2 * 60.0 * 60.0));
            const double cloud = std::pow(std::max(0.0, n * 0.9 + 0.25), 2.0) * (0.5 + glow);
            const Colour c = mix(deep, mix(blue, indigo, static_cast<float>(hue)), static_cast<float>(cloud * 0.6));
            field.at(x, y) = {c.r * 0.7f, c.g * 0.7f, c.b * 0.7f};
        }
    });
    Rng rng(7);
    scatterStars(field, rng, 1100, 1.5, 0.55, true);
    // Faint dust stars, crowding into the band.
    for (int placed = 0; placed < 2600;) {
        const double x = rng.range(0, w), y = rng.range(0, h);
        const double d = band(x, y);
        if (rng.uniform() > 0.15 + 0.85 * std::exp(-d * d / (2 * 45.0 * 45.0))) continue;
        const float k = static_cast<float>(0.03 + 0.07 * rng.uniform());
        field.splat(x, y, 0.6, 0.45, colourOf(look::kChrome, k), true);
        ++placed;
    }
    Canvas canvas(w, h);
    field.paint(canvas, 1.2, 71);
    writePicture(canvas, FileKind::Jpeg, out);
}

// 512 x 512 texture laid flat across the metaballs (repeating): a two-armed
// spiral galaxy in the middle over a dim nebula that repeats at the edges.
void makeGalaxy(const std::string& out) {
    const int s = 512;
    Field field(s, s);
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            const double n = fractalNoise(x * 4.0 / s, y * 4.0 / s, 5, 0.55, 4, 4, 21);
            const double cloud = std::max(0.0, n + 0.2);
            field.at(x, y) = mix(colourOf(look::kDeepBackground), colourOf(look::kIndigo), static_cast<float>(cloud * 0.8));
        }
    }
    Rng rng(22);
    // Arms: many soft dots along two logarithmic spirals, with scatter.
    const double cx = s / 2.0, cy = s / 2.0;
    for (int i = 0; i < 9000; ++i) {
        const int arm = i & 1;
        const double t = std::pow(rng.uniform(), 0.8);
        const double radius = 12 + t * 205;
        const double angle = arm * kPi + std::log(radius / 12.0) * 1.9 + rng.triangular() * 0.35;
        const double spread = 4 + t * 14;
        const double x = cx + std::cos(angle) * radius + rng.triangular() * spread;
        const double y = cy + std::sin(angle) * radius * 0.78 + rng.triangular() * spread;
        const Colour tint = rng.uniform() < 0.2 ? colourOf(look::kHotAccent)
                                                : mix(colourOf(look::kCoolLight), colourOf(look::kChrome), static_cast<float>(t));
        const float k = static_cast<float>(0.05 * (1.2 - t));
        field.splat(x, y, 2.5 + 3 * rng.uniform(), 2.5 + 3 * rng.uniform(), {tint.r * k, tint.g * k, tint.b * k});
    }
    // Warm core.
    field.splat(cx, cy, 26, 20, colourOf(look::kWarmAccent, 0.55f));
    field.splat(cx, cy, 9, 7, colourOf(look::kChrome, 0.9f));
    // Foreground stars, wrapping so the texture still repeats.
    for (int i = 0; i < 700; ++i) {
        const double b = std::pow(rng.uniform(), 4.0);
        field.splat(rng.range(0, s), rng.range(2, s - 2), 0.5 + b, 0.5 + b, colourOf(look::kChrome, static_cast<float>(0.1 + b)), true);
    }
    Canvas canvas(s, s);
    field.paint(canvas, 1.2, 23);
    writePicture(canvas, FileKind::Jpeg, out);
}

// 1024 x 512 equirectangular night side of a planet: dark oceans, continents
// from noise, city lights along coasts, thin cool cloud bands. Repeats
// left to right (longitude wraps).
void makePlanet(const std::string& out) {
    const int w = 1024, h = 512;
    Field field(w, h);
    forEachRow(h, [&](int y) {
        const double lat = (y + 0.5) / h * kPi - kPi / 2;
        for (int x = 0; x < w; ++x) {
            const double u = x * 8.0 / w, v = y * 4.0 / h;
            const double land = fractalNoise(u, v, 6, 0.5, 8, 0, 31) + 0.05 - 0.25 * std::abs(std::sin(lat)) * std::abs(std::sin(lat));
            const double cloud = fractalNoise(u * 1.5, v * 4.0, 5, 0.5, 12, 0, 32);
            Colour c = land > 0 ? mix(colourOf(look::kDeepBackground2), colourOf(look::kNightBlue), static_cast<float>(std::min(1.0, land * 2)) * 0.4f)
                                : mix(colourOf(look::kDeepBackground), colourOf(look::kDeepBackground2), 0.4f);
            if (land > 0 && land < 0.35) {
                // Cities cluster near coasts; speckled by a fine noise.
                const double speck = gradientNoise(x * 0.5, y * 0.5, w / 2, 0, 33);
                const double coast = std::exp(-land * 14.0);
                if (speck > 0.25) {
                    const float k = static_cast<float>((speck - 0.25) * 2.2 * coast);
                    const Colour warm = colourOf(look::kWarmAccent);
                    c = {c.r + warm.r * k, c.g + warm.g * k, c.b + warm.b * k};
                }
            }
            const float cl = static_cast<float>(std::max(0.0, cloud - 0.05) * 0.5);
            c = mix(c, colourOf(look::kNightBlue, 1.4f), cl);
            field.at(x, y) = c;
        }
    });
    Canvas canvas(w, h);
    field.paint(canvas, 1.2, 34);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
