// Drawing pieces shared by several pictures: palette colours on a Cairo
// context, the dark backdrop, glowing lettering and glowing lines.
#pragma once

#include "content/common/demo_look.h"
#include "content/images/lettering.h"

#include <cairo.h>

#include <cstdint>
#include <string>

namespace vantor::pictures {

class Canvas;

void setColour(cairo_t* cr, look::Rgb c, double alpha = 1.0);

// The night backdrop: deep background with a soft indigo/night-blue glow
// around (cx, cy) (fractions of the size), faint nebula and grain. Opaque.
void paintBackdrop(Canvas& canvas, double cx, double cy, std::uint64_t seed, double nebula = 1.0);

// Lettering with a soft glow: the text filled with `fill`, plus its blurred
// copy in `glow` added on top. `stretchX` widens the letters (pictures shown
// squeezed on screen draw their text wider so it reads right).
struct GlowText {
    std::string text;
    Face face = Face::Bold;
    double size = 48;
    double cx = 0, baseline = 0;  // centre of the line, baseline
    double spacing = 0;
    look::Rgb fill = look::kChrome;
    look::Rgb glow = look::kCoolLight;
    double fillAlpha = 1.0;
    int glowRadius = 8;
    double glowStrength = 1.0;
    double stretchX = 1.0;
};
void drawGlowText(Canvas& canvas, const GlowText& t);

// The path of the text (for callers that want their own fill or stroke).
void glowTextPath(cairo_t* cr, const GlowText& t);

// A straight line with a glow around it (additive).
void drawGlowLine(Canvas& canvas, double x0, double y0, double x1, double y1, look::Rgb colour, double width,
                  int glowRadius, double glowStrength);

}  // namespace vantor::pictures
