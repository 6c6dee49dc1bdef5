#include "content/images/draw_kit.h"

#include "content/images/canvas.h"
#include "content/images/field.h"
#include "content/images/finish.h"
#include "content/images/noise.h"

#include <cmath>

namespace vantor::pictures {

void setColour(cairo_t* cr, look::Rgb c, double alpha) { cairo_set_source_rgba(cr, c.rf(), c.gf(), c.bf(), alpha); }

void paintBackdrop(Canvas& canvas, double cx, double cy, std::uint64_t seed, double nebula) {
    const int w = canvas.width(), h = canvas.height();
    Field field(w, h);
    const Colour deep = colourOf(look::kDeepBackground), deep2 = colourOf(look::kDeepBackground2);
    const Colour blue = colourOf(look::kNightBlue), indigo = colourOf(look::kIndigo);
    const double scale = 1.0 / std::max(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - cx * w) * scale, dy = (y - cy * h) * scale;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double glow = std::exp(-r * r * 5.0);
            Colour c = mix(deep, deep2, static_cast<float>(glow));
            const double n =
                fractalNoise(x * scale * 3, y * scale * 3, 5, 0.55, 0, 0, static_cast<std::uint32_t>(seed));
            const double cloud = std::max(0.0, n + 0.1) * nebula * (0.35 + 0.65 * glow);
            c = mix(c, mix(blue, indigo, static_cast<float>(0.5 + 0.5 * n)), static_cast<float>(cloud * 0.55));
            field.at(x, y) = c;
        }
    }
    Rng rng(seed * 7 + 1);
    for (int i = 0; i < w * h / 900; ++i) {
        const double b = std::pow(rng.uniform(), 6.0) * 0.8 + 0.05;
        field.splat(rng.range(0, w), rng.range(0, h), 0.6, 0.6, colourOf(look::kChrome, static_cast<float>(b)));
    }
    field.paint(canvas, 1.6, seed);
}

void glowTextPath(cairo_t* cr, const GlowText& t) {
    cairo_save(cr);
    cairo_translate(cr, t.cx, t.baseline);
    cairo_scale(cr, t.stretchX, 1.0);
    useFace(cr, t.face, t.size);
    centredTextPath(cr, t.text, 0, 0, t.spacing / t.stretchX);
    cairo_restore(cr);
}

void drawGlowText(Canvas& canvas, const GlowText& t) {
    Canvas glow(canvas.width(), canvas.height());
    glowTextPath(glow.cr(), t);
    setColour(glow.cr(), t.glow);
    cairo_fill(glow.cr());
    addGlow(canvas, glow, t.glowRadius, t.glowStrength);

    cairo_t* cr = canvas.cr();
    glowTextPath(cr, t);
    setColour(cr, t.fill, t.fillAlpha);
    cairo_fill(cr);
}

void drawGlowLine(Canvas& canvas, double x0, double y0, double x1, double y1, look::Rgb colour, double width,
                  int glowRadius, double glowStrength) {
    Canvas glow(canvas.width(), canvas.height());
    cairo_t* g = glow.cr();
    cairo_set_line_width(g, width * 2);
    cairo_set_line_cap(g, CAIRO_LINE_CAP_ROUND);
    setColour(g, colour);
    cairo_move_to(g, x0, y0);
    cairo_line_to(g, x1, y1);
    cairo_stroke(g);
    addGlow(canvas, glow, glowRadius, glowStrength);

    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, look::kChrome, 0.9);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace vantor::pictures
