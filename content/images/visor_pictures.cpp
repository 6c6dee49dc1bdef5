// The helmet visor around the sphere scene: the glass and padding behind it
// and the rim, reflections and readouts in front of it. Both 1024 x 512 with
// alpha, stretched over the 640 x 480 screen, so they are drawn in screen
// units and scaled into the picture.
#include "content/images/canvas.h"
#include "content/images/draw_kit.h"
#include "content/images/finish.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <cmath>
#include <cstdio>

namespace vantor::pictures {

namespace {

constexpr int kWidth = 1024, kHeight = 512;
constexpr double kScreenW = 640, kScreenH = 480;
constexpr double kPi = 3.14159265358979323846;
// The opening of the visor, in screen units.
constexpr double kOpenCx = 320, kOpenCy = 236, kOpenRx = 292, kOpenRy = 206;

void toScreenUnits(cairo_t* cr) { cairo_scale(cr, kWidth / kScreenW, kHeight / kScreenH); }

void openingPath(cairo_t* cr, double grow) {
    cairo_save(cr);
    cairo_translate(cr, kOpenCx, kOpenCy);
    cairo_scale(cr, kOpenRx + grow, kOpenRy + grow);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
}

// Helmet padding: dark quilted panels with a soft light from above.
void paintPadding(cairo_t* cr, double brightness) {
    cairo_pattern_t* base = cairo_pattern_create_radial(kOpenCx, kOpenCy - 60, 150, kOpenCx, kOpenCy, 460);
    cairo_pattern_add_color_stop_rgb(base, 0, look::kNightBlue.rf() * brightness, look::kNightBlue.gf() * brightness,
                                     look::kNightBlue.bf() * brightness);
    cairo_pattern_add_color_stop_rgb(base, 1, look::kDeepBackground.rf(), look::kDeepBackground.gf(),
                                     look::kDeepBackground.bf());
    cairo_set_source(cr, base);
    cairo_paint(cr);
    cairo_pattern_destroy(base);
    // Quilting seams radiating from the opening.
    cairo_set_line_width(cr, 1.5);
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2 * kPi / 24;
        const double c = std::cos(a), s = std::sin(a);
        cairo_move_to(cr, kOpenCx + c * (kOpenRx + 20), kOpenCy + s * (kOpenRy + 20));
        cairo_line_to(cr, kOpenCx + c * 700, kOpenCy + s * 500);
    }
    setColour(cr, look::kDeepBackground, 0.9);
    cairo_stroke(cr);
}

}  // namespace

// Behind the scene: the padding all round (opaque) and the visor glass in
// the middle, clear in the centre and tinted night blue towards its edge,
// so whatever was drawn before shows through.
void makeVisorInside(const std::string& out) {
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    toScreenUnits(cr);
    paintPadding(cr, 0.8);
    // Cut the opening and fill it with the tinted glass.
    openingPath(cr, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    // The glass gradient runs over the ellipse: defined on the unit circle and
    // mapped onto the opening.
    cairo_pattern_t* glass = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_matrix_t toUnit;
    cairo_matrix_init_scale(&toUnit, 1 / kOpenRx, 1 / kOpenRy);
    cairo_matrix_translate(&toUnit, -kOpenCx, -kOpenCy);
    cairo_pattern_set_matrix(glass, &toUnit);
    cairo_pattern_add_color_stop_rgba(glass, 0.0, look::kDeepBackground2.rf(), look::kDeepBackground2.gf(),
                                      look::kDeepBackground2.bf(), 0.0);
    cairo_pattern_add_color_stop_rgba(glass, 0.6, look::kDeepBackground2.rf(), look::kDeepBackground2.gf(),
                                      look::kDeepBackground2.bf(), 0.0);
    cairo_pattern_add_color_stop_rgba(glass, 0.92, look::kNightBlue.rf(), look::kNightBlue.gf(), look::kNightBlue.bf(),
                                      0.45);
    cairo_pattern_add_color_stop_rgba(glass, 1.0, look::kNightBlue.rf(), look::kNightBlue.gf(), look::kNightBlue.bf(),
                                      0.85);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    cairo_restore(cr);
    writePicture(canvas, FileKind::Tga32, out);
}

namespace {

// The rim: everything outside the opening, opaque.
void paintRim(cairo_t* cr) {
    cairo_rectangle(cr, -10, -10, kScreenW + 20, kScreenH + 20);
    openingPath(cr, 0);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
    paintPadding(cr, 0.45);
    cairo_reset_clip(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
}

// The frame ring round the glass: gunmetal, lit from above, with bolts.
void paintFrameRing(cairo_t* cr) {
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, kOpenCy - kOpenRy - 20, 0, kOpenCy + kOpenRy + 20);
    cairo_pattern_add_color_stop_rgb(metal, 0.0, 0.42, 0.47, 0.58);
    cairo_pattern_add_color_stop_rgb(metal, 0.35, 0.16, 0.19, 0.28);
    cairo_pattern_add_color_stop_rgb(metal, 1.0, 0.05, 0.06, 0.11);
    cairo_set_source(cr, metal);
    cairo_set_line_width(cr, 16);
    openingPath(cr, 9);
    cairo_stroke(cr);
    cairo_pattern_destroy(metal);
    for (int i = 0; i < 16; ++i) {
        const double a = (i + 0.5) * 2 * kPi / 16;
        const double bx = kOpenCx + std::cos(a) * (kOpenRx + 9), by = kOpenCy + std::sin(a) * (kOpenRy + 9);
        cairo_arc(cr, bx, by, 2.6, 0, 2 * kPi);
        cairo_set_source_rgb(cr, 0.03, 0.04, 0.08);
        cairo_fill(cr);
        cairo_arc(cr, bx - 0.6, by - 0.6, 1.4, 0, 2 * kPi);
        setColour(cr, look::kChrome, 0.7);
        cairo_fill(cr);
    }
    setColour(cr, look::kChrome, 0.35);
    cairo_set_line_width(cr, 1);
    openingPath(cr, 17);
    cairo_stroke(cr);
}

// Chrome edge of the frame: bright on top, dark below.
void paintChromeEdge(cairo_t* cr) {
    cairo_pattern_t* edge = cairo_pattern_create_linear(0, kOpenCy - kOpenRy, 0, kOpenCy + kOpenRy);
    cairo_pattern_add_color_stop_rgba(edge, 0.0, 1, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(edge, 0.45, look::kCoolLight.rf(), look::kCoolLight.gf(), look::kCoolLight.bf(),
                                      0.9);
    cairo_pattern_add_color_stop_rgba(edge, 1.0, look::kNightBlue.rf(), look::kNightBlue.gf(), look::kNightBlue.bf(),
                                      1);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 5);
    openingPath(cr, 2);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
}

// Reflections: two soft curved bands across the upper left of the glass and
// a faint sheen at its lower right.
void paintReflections(cairo_t* cr) {
    for (int band = 0; band < 2; ++band) {
        cairo_new_path(cr);
        const double r = 330 + band * 42;
        cairo_arc(cr, 520, 420, r, 1.05 * kPi, 1.45 * kPi);
        cairo_arc_negative(cr, 520, 420, r - 16 + band * 8, 1.45 * kPi, 1.05 * kPi);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, band == 0 ? 0.16 : 0.09);
        cairo_fill(cr);
    }
    cairo_pattern_t* sheen = cairo_pattern_create_radial(520, 380, 10, 520, 380, 160);
    cairo_pattern_add_color_stop_rgba(sheen, 0, look::kCoolLight.rf(), look::kCoolLight.gf(), look::kCoolLight.bf(),
                                      0.10);
    cairo_pattern_add_color_stop_rgba(sheen, 1, look::kCoolLight.rf(), look::kCoolLight.gf(), look::kCoolLight.bf(),
                                      0.0);
    cairo_set_source(cr, sheen);
    cairo_paint(cr);
    cairo_pattern_destroy(sheen);
}

// Readout scales: arcs at both sides of the glass with ticks, every third long.
void strokeReadoutScales(cairo_t* cr) {
    setColour(cr, look::kCoolLight, 0.7);
    cairo_set_line_width(cr, 1.2);
    cairo_new_path(cr);
    cairo_arc(cr, kOpenCx, kOpenCy, 230, 0.85 * kPi, 1.15 * kPi);
    cairo_stroke(cr);
    cairo_arc(cr, kOpenCx, kOpenCy, 230, -0.15 * kPi, 0.15 * kPi);
    cairo_stroke(cr);
    for (int i = -6; i <= 6; ++i) {
        const double a = i * 0.025 * kPi;
        for (int side = 0; side < 2; ++side) {
            const double base = side ? 0.0 : kPi;
            const double c = std::cos(base + a), s = std::sin(base + a);
            const double len = i % 3 == 0 ? 10 : 5;
            cairo_move_to(cr, kOpenCx + c * 230, kOpenCy + s * 230);
            cairo_line_to(cr, kOpenCx + c * (230 - len), kOpenCy + s * (230 - len));
        }
    }
    cairo_stroke(cr);
}

// The centre mark: a cross with its middle left open.
void strokeCentreMark(cairo_t* cr) {
    cairo_move_to(cr, kOpenCx - 14, kOpenCy);
    cairo_line_to(cr, kOpenCx - 5, kOpenCy);
    cairo_move_to(cr, kOpenCx + 5, kOpenCy);
    cairo_line_to(cr, kOpenCx + 14, kOpenCy);
    cairo_move_to(cr, kOpenCx, kOpenCy - 14);
    cairo_line_to(cr, kOpenCx, kOpenCy - 5);
    cairo_move_to(cr, kOpenCx, kOpenCy + 5);
    cairo_line_to(cr, kOpenCx, kOpenCy + 14);
    cairo_stroke(cr);
}

// The readout figures, cool at the sides and the link light in the hot accent.
void fillReadoutFigures(cairo_t* cr) {
    useFace(cr, Face::CondensedBold, 11);
    setColour(cr, look::kCoolLight, 0.8);
    textPath(cr, "ALT  0412.7", 120, 150, 2);
    textPath(cr, "VEL  7.84", 120, 166, 2);
    textPath(cr, "O2   96%", 440, 150, 2);
    textPath(cr, "HDG  271", 440, 166, 2);
    cairo_fill(cr);
    setColour(cr, look::kHotAccent, 0.85);
    textPath(cr, "LINK", 300, 380, 3);
    cairo_fill(cr);
}

}  // namespace

// In front of the scene: the opaque helmet rim round the opening with a
// chrome edge, curved reflections on the glass, and thin cool readouts;
// fully transparent where the view goes through.
void makeVisorFront(const std::string& out) {
    Canvas canvas(kWidth, kHeight);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    toScreenUnits(cr);
    paintRim(cr);
    paintFrameRing(cr);
    paintChromeEdge(cr);
    // Reflections and readouts lie on the glass: clipped to the opening.
    cairo_save(cr);
    openingPath(cr, 0);
    cairo_clip(cr);
    paintReflections(cr);
    strokeReadoutScales(cr);
    strokeCentreMark(cr);
    fillReadoutFigures(cr);
    cairo_restore(cr);
    cairo_restore(cr);
    writePicture(canvas, FileKind::Tga32, out);
}

}  // namespace vantor::pictures
