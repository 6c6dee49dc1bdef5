// The demo's type: DejaVu Sans Bold and Condensed Bold loaded from their font
// files through FreeType, drawn by Cairo with fixed font options (grey
// anti-aliasing, no hinting) so the same text gives the same pixels on every run.
#pragma once

#include <cairo.h>

#include <string>

namespace vantor::pictures {

enum class Face { Bold, CondensedBold };

// Selects the face at `size` pixels on the context, with the fixed options.
void useFace(cairo_t* cr, Face face, double size);

// Width of `text` in the current face with `spacing` extra pixels after every
// letter but the last.
double textWidth(cairo_t* cr, const std::string& text, double spacing = 0);

// Adds the outlines of `text` to the current path, its baseline starting at
// (x, y), letters `spacing` pixels further apart than the font sets them.
void textPath(cairo_t* cr, const std::string& text, double x, double y, double spacing = 0);

// The same, centred horizontally on cx.
void centredTextPath(cairo_t* cr, const std::string& text, double cx, double y, double spacing = 0);

}  // namespace vantor::pictures
