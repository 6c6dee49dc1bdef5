// Textures of the scenes: the chrome sphere map of the metaballs and the
// surfaces the scene files name (hull panels, solar cells, stone, floor grid).
#include "content/images/canvas.h"
#include "content/images/draw_kit.h"
#include "content/images/field.h"
#include "content/images/finish.h"
#include "content/images/noise.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantor::pictures {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

// 256 x 256 sphere map of bright chrome: the disc shows a night sky above a
// bright horizon, a dark ground below, and two window-like highlights; the
// corners repeat the disc's edge colour.
void makeChrome(const std::string& out) {
    const int s = 256;
    Field field(s, s);
    const Colour sky0 = colourOf(look::kDeepBackground2), sky1 = colourOf(look::kNightBlue);
    const Colour cool = colourOf(look::kCoolLight), chrome = colourOf(look::kChrome);
    for (int y = 0; y < s; ++y) {
        for (int x = 0; x < s; ++x) {
            double dx = (x + 0.5 - s / 2.0) / (s / 2.0), dy = (y + 0.5 - s / 2.0) / (s / 2.0);
            double r = std::sqrt(dx * dx + dy * dy);
            if (r > 0.999) {
                dx /= r / 0.999;
                dy /= r / 0.999;
                r = 0.999;
            }
            // The height of the direction the sphere reflects at this point:
            // up at the top of the disc, the horizon a little below the middle.
            const double elevation = -dy * 0.9 - 0.05;
            Colour c;
            if (elevation > 0.02) {
                c = mix(sky1, sky0, static_cast<float>(std::pow(std::min(1.0, elevation * 1.4), 0.7)));
            } else {
                c = mix(colourOf(look::kDeepBackground), colourOf(look::kIndigo),
                        static_cast<float>(std::min(1.0, -elevation * 2)) * 0.6f);
            }
            const double horizon = std::exp(-std::pow((elevation - 0.02) / 0.03, 2.0));
            c = {c.r + cool.r * static_cast<float>(horizon * 0.9), c.g + cool.g * static_cast<float>(horizon * 0.9),
                 c.b + cool.b * static_cast<float>(horizon * 0.9)};
            // Fresnel: the rim of a chrome ball is brighter.
            const float rim = static_cast<float>(std::pow(r, 6.0) * 0.35);
            c = {c.r + chrome.r * rim, c.g + chrome.g * rim, c.b + chrome.b * rim};
            field.at(x, y) = c;
        }
    }
    field.splat(88, 70, 14, 9, colourOf(look::kWhite, 0.9f));
    field.splat(88, 70, 4, 3, colourOf(look::kWhite, 1.2f));
    field.splat(170, 96, 8, 5, colourOf(look::kChrome, 0.5f));
    field.splat(200, 182, 10, 6, colourOf(look::kWarmAccent, 0.35f));
    Canvas canvas(s, s);
    field.paint(canvas, 1.0, 200);
    writePicture(canvas, FileKind::Jpeg, out);
}

namespace {

// The hull plates' layout on the 512 x 512 texture: plates of a few sizes
// tiling it, their seams along its borders.
struct Plate {
    double x, y, w, h;
};
constexpr Plate kPlates[] = {{0, 0, 256, 256},     {256, 0, 256, 128},   {256, 128, 128, 128},
                             {384, 128, 128, 128}, {0, 256, 128, 256},   {128, 256, 256, 128},
                             {128, 384, 128, 128}, {256, 384, 128, 128}, {384, 256, 128, 256}};

// The bare metal under the plates: blue-grey with a faint repeating mottle.
void paintPanelMetal(Canvas& canvas) {
    const int s = canvas.width();
    canvas.flush();
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const double n = fractalNoise(x * 8.0 / s, y * 8.0 / s, 5, 0.55, 8, 8, 210);
            const double v = 0.26 + 0.05 * n;
            canvas.set(x, y,
                       {static_cast<std::uint8_t>(v * 150), static_cast<std::uint8_t>(v * 175),
                        static_cast<std::uint8_t>(v * 215), 255});
        }
    canvas.markDirty();
}

// Each plate a slightly different shade, framed by its seam (a dark groove
// with a light lip on its lower right) and rivets along its top and bottom.
void drawPlates(cairo_t* cr) {
    Rng rng(211);
    for (const Plate& p : kPlates) {
        cairo_rectangle(cr, p.x + 2, p.y + 2, p.w - 4, p.h - 4);
        cairo_set_source_rgba(cr, 1, 1, 1, rng.range(0.0, 0.06));
        cairo_fill(cr);
        cairo_set_line_width(cr, 3);
        cairo_rectangle(cr, p.x + 1.5, p.y + 1.5, p.w - 3, p.h - 3);
        cairo_set_source_rgba(cr, 0.02, 0.03, 0.06, 0.9);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, p.x + 3.5, p.y + p.h - 3.5);
        cairo_line_to(cr, p.x + p.w - 3.5, p.y + p.h - 3.5);
        cairo_line_to(cr, p.x + p.w - 3.5, p.y + 3.5);
        cairo_set_source_rgba(cr, look::kChrome.rf(), look::kChrome.gf(), look::kChrome.bf(), 0.25);
        cairo_stroke(cr);
        for (double t = 12; t < p.w - 6; t += 16) {
            for (double yy : {p.y + 8, p.y + p.h - 8}) {
                cairo_arc(cr, p.x + t, yy, 1.8, 0, 2 * kPi);
                cairo_set_source_rgba(cr, 0.75, 0.82, 0.95, 0.55);
                cairo_fill(cr);
            }
        }
    }
}

// Stencilled plate numbers and a row of warm warning stripes.
void drawMarkings(cairo_t* cr) {
    useFace(cr, Face::CondensedBold, 20);
    setColour(cr, look::kChrome, 0.55);
    textPath(cr, "V-07", 28, 48, 2);
    textPath(cr, "VNT 2", 278, 36, 2);
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) {
        cairo_rectangle(cr, 140 + i * 14, 300, 8, 24);
        setColour(cr, look::kWarmAccent, 0.8);
        cairo_fill(cr);
    }
}

// Indicator lights: white points with a cool or hot glow round them.
void drawIndicatorLights(Canvas& canvas) {
    cairo_t* cr = canvas.cr();
    Canvas glow(canvas.width(), canvas.height());
    for (auto [x, y, hot] :
         {std::tuple{470.0, 150.0, false}, std::tuple{110.0, 470.0, true}, std::tuple{300.0, 420.0, false}}) {
        cairo_arc(glow.cr(), x, y, 4, 0, 2 * kPi);
        setColour(glow.cr(), hot ? look::kHotAccent : look::kCoolLight);
        cairo_fill(glow.cr());
        cairo_arc(cr, x, y, 3, 0, 2 * kPi);
        setColour(cr, look::kWhite);
        cairo_fill(cr);
    }
    addGlow(canvas, glow, 5, 2.0, true);
}

}  // namespace

// 512 x 512 hull plates: blue-grey panels of a few sizes with dark seams and
// lit edges, rivets along the seams, small markings and indicator lights.
// The seams run along the borders, so the texture repeats cleanly.
void makePanel(const std::string& out) {
    Canvas canvas(512, 512);
    paintPanelMetal(canvas);
    drawPlates(canvas.cr());
    drawMarkings(canvas.cr());
    drawIndicatorLights(canvas);
    addGrain(canvas, 1.5, 212);
    writePicture(canvas, FileKind::Jpeg, out);
}

// 256 x 256 solar-cell grid: 8 x 8 dark blue cells with a faint crystalline
// sheen, separated by thin bright lines; repeats cleanly.
void makeSolar(const std::string& out) {
    const int s = 256, cells = 8, cell = s / cells;
    Field field(s, s);
    for (int y = 0; y < s; ++y)
        for (int x = 0; x < s; ++x) {
            const int cx = x / cell, cy = y / cell;
            const double n =
                gradientNoise(x * 0.25, y * 0.25, s / 4, s / 4, 220 + static_cast<std::uint32_t>(cx * 8 + cy));
            const double u = (x % cell + 0.5) / cell, v = (y % cell + 0.5) / cell;
            const double sheen = 0.5 + 0.5 * std::sin((u + v) * kPi);
            Colour c = mix(colourOf(look::kDeepBackground2), colourOf(look::kNightBlue),
                           static_cast<float>(0.4 + 0.25 * n + 0.25 * sheen));
            // Thin busbars inside each cell, and the bright frame lines between cells.
            const int lx = x % cell, ly = y % cell;
            if (lx == cell / 3 || lx == 2 * cell / 3) c = mix(c, colourOf(look::kChrome), 0.18f);
            if (lx == 0 || ly == 0) c = mix(c, colourOf(look::kChrome), 0.75f);
            if (lx == 1 || ly == 1 || lx == cell - 1 || ly == cell - 1) c = mix(c, colourOf(look::kCoolLight), 0.25f);
            field.at(x, y) = c;
        }
    Canvas canvas(s, s);
    field.paint(canvas, 1.0, 221);
    writePicture(canvas, FileKind::Jpeg, out);
}

namespace {

// The glow scene's rock, as large as its hole map: dark rock with thin cool
// veins, repeating on all sides.
void drawStone(Canvas& canvas) {
    const int w = look::kHoleMapWidth, h = look::kHoleMapHeight;
    Field field(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = x * 4.0 / w, v = y * 4.0 / h;
            const double rock = fractalNoise(u, v, 6, 0.6, 4, 4, 230);
            const double grain = gradientNoise(x * 0.5, y * 0.5, w / 2, h / 2, 233);
            const double vein = 1 - std::abs(fractalNoise(u * 0.5, v * 0.5, 5, 0.5, 2, 2, 231));
            const double line = std::pow(std::max(0.0, vein), 70.0), halo = std::pow(std::max(0.0, vein), 10.0);
            Colour c = mix(colourOf(look::kDeepBackground, 1.5f), colourOf(look::kNightBlue, 0.9f),
                           static_cast<float>(std::clamp(0.45 + 0.55 * rock + 0.12 * grain, 0.0, 1.0)));
            c = mix(c, colourOf(look::kIndigo), static_cast<float>(std::max(0.0, -rock) * 0.6));
            c = mix(c, colourOf(look::kCoolLight), static_cast<float>(line * 0.75 + halo * 0.1));
            field.at(x, y) = c;
        }
    field.paint(canvas, 1.0, 232);
}

}  // namespace

// The glowing stones' texture (opaque; the glow effect cuts its hole map into
// the alpha of one of them).
void makeStone(const std::string& out) {
    Canvas canvas(look::kHoleMapWidth, look::kHoleMapHeight);
    drawStone(canvas);
    writePicture(canvas, FileKind::Jpeg, out);
}

// The same rock for everything else in the glow scene, at alpha
// kUnglowingAlpha: the glow capture's alpha test leaves it out, while the
// scene's own opaque drawing shows it as usual.
void makeDimStone(const std::string& out) {
    Canvas canvas(look::kHoleMapWidth, look::kHoleMapHeight);
    drawStone(canvas);
    canvas.flush();
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            Pixel p = canvas.get(x, y);
            p.a = static_cast<std::uint8_t>(look::kUnglowingAlpha);
            canvas.set(x, y, p);
        }
    canvas.markDirty();
    writePicture(canvas, FileKind::Tga32, out);
}

// 512 x 512 floor grid: cool lines every 64 pixels with a glow, brightest in
// the middle and fading into the dark towards the borders.
void makeGrid(const std::string& out) {
    const int s = 512;
    Canvas canvas(s, s);
    canvas.fill(0, 0, 0);
    Canvas lines(s, s);
    cairo_t* g = lines.cr();
    setColour(g, look::kCoolLight);
    cairo_set_line_width(g, 2);
    for (int i = 0; i <= 8; ++i) {
        const double p = i * 64.0;
        cairo_move_to(g, p, 0);
        cairo_line_to(g, p, s);
        cairo_move_to(g, 0, p);
        cairo_line_to(g, s, p);
    }
    cairo_stroke(g);
    // Fade: a radial mask over the lines.
    cairo_pattern_t* fade = cairo_pattern_create_radial(s / 2.0, s / 2.0, 0, s / 2.0, s / 2.0, s * 0.72);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0.85);
    cairo_set_operator(g, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source(g, fade);
    cairo_paint(g);
    cairo_pattern_destroy(fade);
    cairo_set_source_surface(canvas.cr(), lines.surface(), 0, 0);
    cairo_paint(canvas.cr());
    addGlow(canvas, lines, 6, 1.5, true);
    writePicture(canvas, FileKind::Jpeg, out);
}

}  // namespace vantor::pictures
