#include "content/scenes/kit/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <stdexcept>

namespace scenekit {
namespace {

struct Walk {
    std::vector<std::vector<Vec2>> contours;
    Vec2 pen;
    int steps;
    float scale;

    void add(float x, float y) { contours.back().push_back({x * scale, y * scale}); }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    w->contours.emplace_back();
    w->pen = Vec2(float(to->x), float(to->y));
    w->add(w->pen.u, w->pen.v);
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    w->pen = Vec2(float(to->x), float(to->y));
    w->add(w->pen.u, w->pen.v);
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Vec2 p0 = w->pen;
    for (int i = 1; i <= w->steps; ++i) {
        const float t = float(i) / w->steps, s = 1 - t;
        w->add(s * s * p0.u + 2 * s * t * control->x + t * t * to->x,
               s * s * p0.v + 2 * s * t * control->y + t * t * to->y);
    }
    w->pen = Vec2(float(to->x), float(to->y));
    return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Vec2 p0 = w->pen;
    for (int i = 1; i <= w->steps; ++i) {
        const float t = float(i) / w->steps, s = 1 - t;
        const float a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        w->add(a * p0.u + b * c1->x + c * c2->x + d * to->x, a * p0.v + b * c1->y + c * c2->y + d * to->y);
    }
    w->pen = Vec2(float(to->x), float(to->y));
    return 0;
}

// Drops a closing point equal to the first and points that repeat.
void tidy(std::vector<Vec2>& contour) {
    std::vector<Vec2> out;
    for (const Vec2& p : contour)
        if (out.empty() || p.u != out.back().u || p.v != out.back().v) out.push_back(p);
    while (out.size() > 1 && out.back().u == out.front().u && out.back().v == out.front().v) out.pop_back();
    contour = out;
}

}  // namespace

std::vector<GlyphOutline> glyphOutlines(const std::string& fontPath, const std::string& text, float capHeight,
                                        int curveSteps) {
    FT_Library library;
    if (FT_Init_FreeType(&library)) throw std::runtime_error("FreeType did not start");
    FT_Face face;
    if (FT_New_Face(library, fontPath.c_str(), 0, &face)) {
        FT_Done_FreeType(library);
        throw std::runtime_error("cannot read the font " + fontPath);
    }
    std::vector<GlyphOutline> glyphs;
    std::string error;
    // The capital height in font units, from the outline of "H".
    float scale = 0;
    if (FT_Load_Char(face, 'H', FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0) {
        FT_BBox box;
        FT_Outline_Get_CBox(&face->glyph->outline, &box);
        if (box.yMax > 0) scale = capHeight / float(box.yMax);
    }
    if (scale == 0) error = "the font has no capital H";
    for (char letter : text) {
        if (!error.empty()) break;
        if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(letter)), FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP)) {
            error = std::string("the font has no letter ") + letter;
            break;
        }
        Walk walk{{}, {}, curveSteps, scale};
        FT_Outline_Funcs funcs{};
        funcs.move_to = moveTo;
        funcs.line_to = lineTo;
        funcs.conic_to = conicTo;
        funcs.cubic_to = cubicTo;
        FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
        GlyphOutline g{letter, {}, float(face->glyph->advance.x) * scale, 0};
        float minX = 1e30f, maxX = -1e30f;
        for (auto& contour : walk.contours) {
            tidy(contour);
            if (contour.size() < 3) continue;
            for (const Vec2& p : contour) minX = std::min(minX, p.u), maxX = std::max(maxX, p.u);
            g.contours.push_back(contour);
        }
        g.width = g.contours.empty() ? 0 : maxX - minX;
        glyphs.push_back(g);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!error.empty()) throw std::runtime_error(error);
    return glyphs;
}

}  // namespace scenekit
