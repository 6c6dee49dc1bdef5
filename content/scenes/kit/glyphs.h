// Letter outlines from a real font: FreeType reads the glyph's contours in
// font units, the curves are flattened into polylines, and the result is
// scaled so that the font's capital height is `capHeight` scene units.
#pragma once

#include "scene/format/vector.h"

#include <string>
#include <vector>

namespace scenekit {

struct GlyphOutline {
    char letter;
    std::vector<std::vector<Vec2>> contours;  // in scene units, baseline at y = 0, left edge at x = 0
    float advance;                            // pen advance to the next letter
    float width;                              // extent of the ink in x
};

// Throws std::runtime_error when the font cannot be read or lacks a letter.
std::vector<GlyphOutline> glyphOutlines(const std::string& fontPath, const std::string& text, float capHeight,
                                        int curveSteps = 6);

}  // namespace scenekit
