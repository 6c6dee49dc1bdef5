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
// spiral galaxy - warm core, cool arms with dark dust lanes and pink star-
// forming knots - over a dim nebula and stars that repeat at the edges.
void makeGalaxy(const std::string& out) {
    const int s = 512;
    const double cx = s / 2.0, cy = s / 2.0;
    const double winding = 2.2;  // how tightly the arms wind
    // The arms' strength at a point: 1 on an arm's crest, 0 between arms.
    auto armAt = [&](double x, double y, double shift) {
        const double dx = x - cx, dy = (y - cy) / 0.82;
        const double r = std::sqrt(dx * dx + dy * dy) + 1e-6;
        const double phase = std::atan2(dy, dx) - std::log(r / 20.0) * winding + shift;
        return 0.5 + 0.5 * std::cos(2 * phase);
    };
    Field field(s, s);
    const Colour cool = colourOf(look::kCoolLight), chrome = colourOf(look::kChrome),
                 warm = colourOf(look::kWarmAccent);
    forEachRow(s, [&](int y) {
        for (int x = 0; x < s; ++x) {
            const double n = fractalNoise(x * 4.0 / s, y * 4.0 / s, 5, 0.55, 4, 4, 21);
            Colour c = mix(colourOf(look::kDeepBackground), colourOf(look::kIndigo),
                           static_cast<float>(std::max(0.0, n + 0.15) * 0.6));
            const double dx = x + 0.5 - cx, dy = (y + 0.5 - cy) / 0.82;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double clumps = 0.6 + 0.4 * fractalNoise(x * 16.0 / s, y * 16.0 / s, 4, 0.6, 16, 16, 24);
            const double arm = std::pow(armAt(x + 0.5, y + 0.5, 0), 3.0) * clumps;
            const double dust = std::pow(armAt(x + 0.5, y + 0.5, 0.45), 14.0);
            const double disc = std::exp(-r / 88.0) * (0.2 + 1.4 * arm) * (1 - 0.6 * dust) *
                                (r < 230 ? 1 : std::exp(-(r - 230) / 12.0));
            const double bulge = std::exp(-r * r / (2 * 20.0 * 20.0));
            const Colour armColour = mix(cool, chrome, static_cast<float>(std::exp(-r / 90.0)));
            c = {c.r + static_cast<float>(armColour.r * disc * 0.9 + warm.r * bulge * 1.1),
                 c.g + static_cast<float>(armColour.g * disc * 0.9 + warm.g * bulge * 1.0),
                 c.b + static_cast<float>(armColour.b * disc * 0.9 + warm.b * bulge * 0.8)};
            field.at(x, y) = c;
        }
    });
    Rng rng(22);
    // Star-forming knots along the arms, and the arms' brightest stars.
    for (int placed = 0; placed < 260;) {
        const double r = 30 + 190 * std::sqrt(rng.uniform()), a = rng.range(0, 2 * kPi);
        const double x = cx + r * std::cos(a), y = cy + r * std::sin(a) * 0.82;
        if (rng.uniform() > std::pow(armAt(x, y, 0), 6.0)) continue;
        const float k = static_cast<float>(0.25 * std::exp(-r / 160.0) * (0.4 + rng.uniform()));
        field.splat(x, y, 1.6, 1.6, colourOf(rng.uniform() < 0.6 ? look::kHotAccent : look::kChrome, k));
        ++placed;
    }
    field.splat(cx, cy, 5, 4, colourOf(look::kWhite, 0.9f));
    // Foreground stars, wrapping so the texture still repeats.
    for (int i = 0; i < 600; ++i) {
        const double b = std::pow(rng.uniform(), 5.0);
        field.splat(rng.range(0, s), rng.range(3, s - 3), 0.5 + b, 0.5 + b,
                    colourOf(look::kChrome, static_cast<float>(0.06 + 0.9 * b)), true);
    }
    Canvas canvas(s, s);
    field.paint(canvas, 1.2, 23);
    writePicture(canvas, FileKind::Jpeg, out);
}

// 1024 x 512 equirectangular night side of a planet: near-black seas, dark
// continents with relief, pale polar ice, warm city lights clustered along
// the coasts, and cool cloud bands that dim the lights beneath them. Repeats
// left to right (longitude wraps).
void makePlanet(const std::string& out) {
    const int w = 1024, h = 512;
    // Land height at a pixel, repeating across the width; oceans below 0.
    auto landAt = [&](double x, double y) {
        const double lat = (y + 0.5) / h * kPi - kPi / 2;
        return fractalNoise(x * 8.0 / w, y * 4.0 / h, 6, 0.5, 8, 0, 31) + 0.02 - 0.2 * std::sin(lat) * std::sin(lat);
    };
    Field land(w, h), lights(w, h);
    forEachRow(h, [&](int y) {
        const double lat = std::abs((y + 0.5) / h - 0.5) * 2;  // 0 at the equator, 1 at the poles
        for (int x = 0; x < w; ++x) {
            const double height = landAt(x, y);
            Colour c = mix(colourOf(look::kDeepBackground), colourOf(look::kDeepBackground2), 0.5f);
            if (height > 0) {
                const double relief = fractalNoise(x * 32.0 / w, y * 16.0 / h, 4, 0.5, 32, 0, 35);
                c = mix(colourOf(look::kDeepBackground2, 1.4f), colourOf(look::kIndigo),
                        static_cast<float>(0.3 + 0.3 * relief));
            }
            const double ice =
                std::clamp((lat - 0.82) / 0.08 + 0.3 * gradientNoise(x * 16.0 / w, y * 0.05, 16, 0, 36), 0.0, 1.0);
            c = mix(c, colourOf(look::kNightBlue, 1.1f), static_cast<float>(ice * 0.6));
            land.at(x, y) = c;
        }
    });
    // Cities: warm points on land, more of them near coasts and in the warm
    // middle latitudes, each with a faint spread of suburbs.
    Rng rng(37);
    const Colour warm = colourOf(look::kWarmAccent);
    for (int placed = 0; placed < 900;) {
        const double x = rng.range(0, w), y = rng.range(h * 0.12, h * 0.88);
        const double height = landAt(x, y);
        if (height <= 0 || rng.uniform() > std::exp(-height * 9.0)) continue;
        const double size = std::pow(rng.uniform(), 3.0);
        lights.splat(x, y, 0.6 + 1.4 * size, 0.6 + 1.4 * size, {warm.r * 0.9f, warm.g * 0.8f, warm.b * 0.6f}, true);
        for (int k = 0; k < 3 + static_cast<int>(12 * size); ++k)
            lights.splat(x + rng.triangular() * (3 + 8 * size), y + rng.triangular() * (2 + 5 * size), 0.5, 0.5,
                         {warm.r * 0.25f, warm.g * 0.22f, warm.b * 0.15f}, true);
        ++placed;
    }
    Field field(w, h);
    forEachRow(h, [&](int y) {
        for (int x = 0; x < w; ++x) {
            const double cloud =
                std::clamp(fractalNoise(x * 6.0 / w, y * 12.0 / h, 5, 0.55, 6, 0, 32) * 1.6 - 0.1, 0.0, 1.0);
            const Colour& l = lights.at(x, y);
            const float through = static_cast<float>(1 - 0.8 * cloud);
            Colour c = land.at(x, y);
            c = {c.r + l.r * through, c.g + l.g * through, c.b + l.b * through};
            field.at(x, y) = mix(c, colourOf(look::kNightBlue, 1.25f), static_cast<float>(cloud * 0.55));
        }
    });
    Canvas canvas(w, h);
    field.paint(canvas, 1.2, 34);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
