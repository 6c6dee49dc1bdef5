#include "content/images/lettering.h"

#include "content/common/demo_look.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdexcept>

namespace vantor::pictures {

namespace {

// FreeType library and the two faces, loaded once and kept for the run.
cairo_font_face_t* loadFace(const char* path) {
    static FT_Library library = nullptr;
    if (!library && FT_Init_FreeType(&library) != 0) throw std::runtime_error("cannot start FreeType");
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) throw std::runtime_error(std::string("cannot load font ") + path);
    return cairo_ft_font_face_create_for_ft_face(face, 0);
}

cairo_font_face_t* faceFor(Face face) {
    static cairo_font_face_t* bold = loadFace(look::kFontBold);
    static cairo_font_face_t* condensed = loadFace(look::kFontCondensedBold);
    return face == Face::Bold ? bold : condensed;
}

}  // namespace

void useFace(cairo_t* cr, Face face, double size) {
    cairo_set_font_face(cr, faceFor(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const std::string& text, double spacing) {
    if (spacing == 0) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, text.c_str(), &e);
        return e.x_advance;
    }
    double width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char letter[2] = {text[i], 0};
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter, &e);
        width += e.x_advance + (i + 1 < text.size() ? spacing : 0);
    }
    return width;
}

void textPath(cairo_t* cr, const std::string& text, double x, double y, double spacing) {
    if (spacing == 0) {
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, text.c_str());
        return;
    }
    for (char c : text) {
        const char letter[2] = {c, 0};
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, letter);
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter, &e);
        x += e.x_advance + spacing;
    }
}

void centredTextPath(cairo_t* cr, const std::string& text, double cx, double y, double spacing) {
    textPath(cr, text, cx - textWidth(cr, text, spacing) / 2, y, spacing);
}

}  // namespace vantor::pictures
