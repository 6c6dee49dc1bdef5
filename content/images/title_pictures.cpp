// The lettered pictures: the six loading-screen stages, the logo, the title
// and credit cards of the picture sequences, and the picture-in-picture frame.
#include "content/images/canvas.h"
#include "content/images/draw_kit.h"
#include "content/images/finish.h"
#include "content/images/picture_files.h"
#include "content/images/picture_set.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantor::pictures {

namespace {

constexpr int kScreenW = 640, kScreenH = 480;
const std::string kTitle = "VANTOR";

// One letter of the title in the loading screen: lit ones are chrome with a
// cool glow, the rest faint outlines still waiting.
void drawTitleLetters(Canvas& canvas, int lit, double baseline, double size, double spacing) {
    cairo_t* cr = canvas.cr();
    useFace(cr, Face::Bold, size);
    const double total = textWidth(cr, kTitle, spacing);
    double x = (canvas.width() - total) / 2;
    Canvas glow(canvas.width(), canvas.height());
    for (int i = 0; i < static_cast<int>(kTitle.size()); ++i) {
        const std::string letter(1, kTitle[static_cast<std::size_t>(i)]);
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter.c_str(), &e);
        if (i < lit) {
            useFace(glow.cr(), Face::Bold, size);
            cairo_move_to(glow.cr(), x, baseline);
            cairo_text_path(glow.cr(), letter.c_str());
            setColour(glow.cr(), i == lit - 1 ? look::kHotAccent : look::kCoolLight);
            cairo_fill(glow.cr());
        }
        x += e.x_advance + spacing;
    }
    addGlow(canvas, glow, 10, 1.4);

    x = (canvas.width() - total) / 2;
    for (int i = 0; i < static_cast<int>(kTitle.size()); ++i) {
        const std::string letter(1, kTitle[static_cast<std::size_t>(i)]);
        cairo_text_extents_t e;
        cairo_text_extents(cr, letter.c_str(), &e);
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, letter.c_str());
        if (i < lit) {
            cairo_pattern_t* chrome = cairo_pattern_create_linear(0, baseline - size * 0.75, 0, baseline);
            cairo_pattern_add_color_stop_rgb(chrome, 0.0, 1, 1, 1);
            cairo_pattern_add_color_stop_rgb(chrome, 0.48, look::kChrome.rf(), look::kChrome.gf(), look::kChrome.bf());
            cairo_pattern_add_color_stop_rgb(chrome, 0.52, 0.45, 0.55, 0.75);
            cairo_pattern_add_color_stop_rgb(chrome, 1.0, 0.85, 0.92, 1.0);
            cairo_set_source(cr, chrome);
            cairo_fill(cr);
            cairo_pattern_destroy(chrome);
        } else {
            setColour(cr, look::kCoolLight, 0.28);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
        x += e.x_advance + spacing;
    }
}

// A thin horizontal rule centred on the screen, fading out to both sides,
// white in its middle.
void drawRule(cairo_t* cr, double y, double halfWidth, look::Rgb tint) {
    const double cx = kScreenW / 2.0;
    cairo_pattern_t* rule = cairo_pattern_create_linear(cx - halfWidth, 0, cx + halfWidth, 0);
    cairo_pattern_add_color_stop_rgba(rule, 0.0, tint.rf(), tint.gf(), tint.bf(), 0);
    cairo_pattern_add_color_stop_rgba(rule, 0.5, 1, 1, 1, 0.9);
    cairo_pattern_add_color_stop_rgba(rule, 1.0, tint.rf(), tint.gf(), tint.bf(), 0);
    cairo_set_source(cr, rule);
    cairo_rectangle(cr, cx - halfWidth, y, 2 * halfWidth, 1.5);
    cairo_fill(cr);
    cairo_pattern_destroy(rule);
}

// A floor grid running to a horizon low on the screen, lines fading with
// distance, in the cool accent; `lit` of 6 sets how bright it has become.
void drawFloorGrid(Canvas& canvas, int lit) {
    const double horizon = 400, vanishX = kScreenW / 2.0, bottom = kScreenH;
    Canvas lines(canvas.width(), canvas.height());
    cairo_t* g = lines.cr();
    cairo_set_line_width(g, 1.0);
    for (int i = -14; i <= 14; ++i) {
        // Lines towards the vanishing point.
        cairo_move_to(g, vanishX + i * 12.0, horizon);
        cairo_line_to(g, vanishX + i * 150.0, bottom + 40);
    }
    for (int k = 1; k < 12; ++k) {
        // Cross lines, closer together towards the horizon.
        const double y = horizon + (bottom - horizon) * (1.0 / (1.0 + (12 - k) * 0.45));
        cairo_move_to(g, 0, y);
        cairo_line_to(g, kScreenW, y);
    }
    setColour(g, look::kCoolLight, 0.25 + 0.07 * lit);
    cairo_stroke(g);
    // Fade towards the horizon.
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, horizon, 0, bottom);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0.2);
    cairo_set_operator(g, CAIRO_OPERATOR_DEST_OUT);
    cairo_set_source(g, fade);
    cairo_paint(g);
    cairo_pattern_destroy(fade);
    cairo_set_operator(canvas.cr(), CAIRO_OPERATOR_ADD);
    cairo_set_source_surface(canvas.cr(), lines.surface(), 0, 0);
    cairo_paint(canvas.cr());
    cairo_set_operator(canvas.cr(), CAIRO_OPERATOR_OVER);
    addGlow(canvas, lines, 3, 0.8);
}

}  // namespace

// Loading screen, stage 1..6 of 6: the title assembles letter by letter over
// a night backdrop, a progress line fills underneath, and a status line
// names what is being built.
void makeLoadingStage(int stage, const std::string& out) {
    static const char* const status[6] = {"waking the engines", "charging the lattice", "polishing chrome",
                                          "aligning the visor", "tuning the horizon",   "ready for flight"};
    Canvas canvas(kScreenW, kScreenH);
    paintBackdrop(canvas, 0.5, 0.45, 100, 1.0);
    drawFloorGrid(canvas, stage);
    drawTitleLetters(canvas, stage, 258, 88, 20);

    cairo_t* cr = canvas.cr();
    // Progress line: a faint track and the filled part glowing.
    const double left = 120, right = 520, y = 318;
    setColour(cr, look::kCoolLight, 0.18);
    cairo_rectangle(cr, left, y - 1, right - left, 2);
    cairo_fill(cr);
    drawGlowLine(canvas, left, y, left + (right - left) * stage / 6.0, y, look::kCoolLight, 2.0, 5, 1.5);

    useFace(cr, Face::CondensedBold, 15);
    setColour(cr, look::kChrome, 0.75);
    const std::string line = std::string(status[stage - 1]);
    centredTextPath(cr, line, kScreenW / 2.0, 352, 3);
    cairo_fill(cr);
    useFace(cr, Face::CondensedBold, 12);
    setColour(cr, look::kCoolLight, 0.6);
    const std::string count = std::to_string(stage) + " / 6";
    centredTextPath(cr, count, kScreenW / 2.0, 376, 4);
    cairo_fill(cr);
    writePicture(canvas, FileKind::Jpeg, out);
}

// The logo, drawn additively with a trail: "VANTOR" in wide bold type, chrome
// to cool light, on pure black, as large as the screen it is stretched over.
void makeLogo(const std::string& out) {
    Canvas canvas(kScreenW, kScreenH);
    canvas.fill(0, 0, 0);
    GlowText t;
    t.text = kTitle;
    t.size = 92;
    t.cx = kScreenW / 2.0;
    t.baseline = 272;
    t.spacing = 16;
    t.glowRadius = 12;
    t.glowStrength = 1.2;
    drawGlowText(canvas, t);
    // A thin rule under the word, fading out to both sides.
    drawRule(canvas.cr(), 306, 240, look::kCoolLight);
    writePicture(canvas, FileKind::Pcx24, out);
}

namespace {

struct CardLine {
    std::string text;
    Face face;
    double size;
    double baseline;
    double spacing;
    look::Rgb fill;
    look::Rgb glow;
};

struct CardDesign {
    std::string name;
    std::vector<CardLine> lines;
    double rule = 0;  // height of a thin fading rule between the lines (0: none)
};

// The cards of the picture sequences. Drawn on pure black: the sequence gives
// each picture its brightness as alpha, so black is fully transparent.
const std::vector<CardDesign>& cards() {
    using look::kChrome, look::kCoolLight, look::kHotAccent, look::kWarmAccent;
    static const std::vector<CardDesign> designs = {
        {"rotule.pcx",
         {{"VANTOR", Face::Bold, 30, 226, 16, kChrome, kCoolLight},
          {"presents", Face::CondensedBold, 18, 262, 8, kCoolLight, kCoolLight}},
         241},
        {"title.pcx",
         {{"NIGHT FLIGHT", Face::Bold, 56, 250, 10, kChrome, kCoolLight},
          {"a four minute journey through space machinery", Face::CondensedBold, 14, 290, 3, kCoolLight, kCoolLight}},
         268},
        {"credits1.pcx",
         {{"code", Face::CondensedBold, 18, 210, 8, kCoolLight, kCoolLight},
          {"RAZORBYTE", Face::Bold, 48, 268, 10, kChrome, kCoolLight}},
         220},
        {"credits2.pcx",
         {{"music", Face::CondensedBold, 18, 210, 8, kCoolLight, kCoolLight},
          {"MOONSHIFT", Face::Bold, 48, 268, 10, kChrome, kHotAccent}},
         220},
        {"credits3.pcx",
         {{"graphics", Face::CondensedBold, 18, 210, 8, kCoolLight, kCoolLight},
          {"PALEHAWK", Face::Bold, 48, 268, 10, kChrome, kWarmAccent}},
         220},
        {"greets1.pcx",
         {{"greetings to", Face::CondensedBold, 18, 150, 8, kCoolLight, kCoolLight},
          {"POLARFRONT", Face::Bold, 30, 205, 8, kChrome, kCoolLight},
          {"HEXADROME", Face::Bold, 30, 250, 8, kChrome, kCoolLight},
          {"GLASSWORK UNION", Face::Bold, 30, 295, 8, kChrome, kCoolLight},
          {"TIDAL CORTEX", Face::Bold, 30, 340, 8, kChrome, kCoolLight}},
         162},
        {"greets2.pcx",
         {{"and to", Face::CondensedBold, 18, 150, 8, kCoolLight, kCoolLight},
          {"NULLPUNKT", Face::Bold, 30, 205, 8, kChrome, kHotAccent},
          {"COBALT ORCHARD", Face::Bold, 30, 250, 8, kChrome, kHotAccent},
          {"VELVET ION", Face::Bold, 30, 295, 8, kChrome, kHotAccent},
          {"SIGNAL ATELIER", Face::Bold, 30, 340, 8, kChrome, kHotAccent}},
         162},
        {"theend.pcx",
         {{"VANTOR", Face::Bold, 64, 240, 20, kChrome, kCoolLight},
          {"thanks for watching", Face::CondensedBold, 16, 286, 6, kCoolLight, kCoolLight}},
         260},
    };
    return designs;
}

}  // namespace

void makeCard(const std::string& name, const std::string& out) {
    for (const CardDesign& card : cards()) {
        if (card.name != name) continue;
        Canvas canvas(kScreenW, kScreenH);
        canvas.fill(0, 0, 0);
        for (const CardLine& line : card.lines) {
            GlowText t;
            t.text = line.text;
            t.face = line.face;
            t.size = line.size;
            t.cx = kScreenW / 2.0;
            t.baseline = line.baseline;
            t.spacing = line.spacing;
            t.fill = line.fill;
            t.glow = line.glow;
            t.glowRadius = line.size > 25 ? 8 : 4;
            t.glowStrength = line.size > 25 ? 1.0 : 0.6;
            drawGlowText(canvas, t);
        }
        if (card.rule > 0) drawRule(canvas.cr(), card.rule, 150, card.lines.back().glow);
        writePicture(canvas, FileKind::Pcx24, out);
        return;
    }
    throw std::runtime_error("no card named " + name);
}

namespace {

constexpr int kFrameSize = 512;

// The glow under the border: a wide cool line blurred and added.
void addBorderGlow(Canvas& canvas) {
    const int s = kFrameSize;
    Canvas glow(s, s);
    cairo_t* g = glow.cr();
    setColour(g, look::kCoolLight);
    cairo_set_line_width(g, 5);
    cairo_rectangle(g, 10, 10, s - 20, s - 20);
    cairo_stroke(g);
    addGlow(canvas, glow, 6, 1.3);
}

// The thin border over its glow and chrome brackets at the corners.
void drawBorderAndBrackets(cairo_t* cr) {
    const int s = kFrameSize;
    setColour(cr, look::kCoolLight, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_rectangle(cr, 10, 10, s - 20, s - 20);
    cairo_stroke(cr);
    setColour(cr, look::kChrome);
    cairo_set_line_width(cr, 6);
    const double a = 6, len = 60;
    for (int corner = 0; corner < 4; ++corner) {
        const double x = corner & 1 ? s - a : a, y = corner & 2 ? s - a : a;
        const double dx = corner & 1 ? -len : len, dy = corner & 2 ? -len : len;
        cairo_move_to(cr, x + dx, y);
        cairo_line_to(cr, x, y);
        cairo_line_to(cr, x, y + dy);
    }
    cairo_stroke(cr);
}

// Tick marks inside the border, seven to a side.
void drawTicks(cairo_t* cr) {
    const int s = kFrameSize;
    setColour(cr, look::kCoolLight, 0.7);
    cairo_set_line_width(cr, 2);
    for (int i = 1; i < 8; ++i) {
        const double p = i * s / 8.0;
        cairo_move_to(cr, p, 14);
        cairo_line_to(cr, p, 26);
        cairo_move_to(cr, p, s - 14);
        cairo_line_to(cr, p, s - 26);
        cairo_move_to(cr, 14, p);
        cairo_line_to(cr, 26, p);
        cairo_move_to(cr, s - 14, p);
        cairo_line_to(cr, s - 26, p);
    }
    cairo_stroke(cr);
}

// The recording mark at the top left and the feed's caption at the bottom right.
void drawCaptions(cairo_t* cr) {
    const int s = kFrameSize;
    useFace(cr, Face::CondensedBold, 22);
    setColour(cr, look::kHotAccent);
    textPath(cr, "REC", 44, 58, 4);
    cairo_fill(cr);
    cairo_arc(cr, 32, 50, 6, 0, 2 * 3.14159265358979);
    cairo_fill(cr);
    setColour(cr, look::kCoolLight, 0.85);
    const std::string caption = "FEED 02 / VANTOR";
    textPath(cr, caption, s - 44 - textWidth(cr, caption, 2), s - 38, 2);
    cairo_fill(cr);
}

// The inset draws the frame's first stored row at the bottom of its
// rectangle (texture row 0 at the bottom), so the file holds it upside down.
void writeUpsideDown(Canvas& canvas, const std::string& out) {
    const int s = kFrameSize;
    Canvas stored(s, s);
    cairo_t* flip = stored.cr();
    cairo_translate(flip, 0, s);
    cairo_scale(flip, 1, -1);
    cairo_set_source_surface(flip, canvas.surface(), 0, 0);
    cairo_paint(flip);
    writePicture(stored, FileKind::Jpeg, out);
}

}  // namespace

// The picture-in-picture frame (512 x 512, stretched over the inset's
// rectangle and added over the captured picture): black inside, a thin
// glowing border with corner brackets, tick marks and a small caption.
void makeFrame(const std::string& out) {
    Canvas canvas(kFrameSize, kFrameSize);
    canvas.fill(0, 0, 0);
    addBorderGlow(canvas);
    drawBorderAndBrackets(canvas.cr());
    drawTicks(canvas.cr());
    drawCaptions(canvas.cr());
    writeUpsideDown(canvas, out);
}

}  // namespace vantor::pictures
