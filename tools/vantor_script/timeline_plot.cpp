#include "tools/vantor_script/timeline_plot.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vantor::plot {

int PlotLayout::columnOf(std::int32_t t) const {
    const double at = (double(t) - from) * kTimelineWidth / double(std::max(1, to - from));
    return timelineLeft() + std::clamp(int(std::floor(at)), 0, kTimelineWidth - 1);
}

PlotLayout layoutOf(const TimelinePlan& plan) {
    PlotLayout layout;
    layout.from = plan.from;
    layout.to = std::max(plan.to, plan.from + 1);
    layout.rows = int(plan.rows.size());
    return layout;
}

namespace {

using look::Rgb;

Rgb mix(Rgb a, Rgb b, double t) {
    auto channel = [t](int x, int y) { return std::uint8_t(std::lround(x + (y - x) * t)); };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

const Rgb kBackground = look::kDeepBackground;
const Rgb kRowShade = mix(look::kDeepBackground, look::kDeepBackground2, 0.6);
const Rgb kOutsideShow{0x02, 0x03, 0x07};
const Rgb kBeatLine = mix(kBackground, look::kNightBlue, 0.45);
const Rgb kBarLine = mix(kBackground, look::kNightBlue, 0.95);
const Rgb kPhraseLine = mix(look::kNightBlue, look::kCoolLight, 0.25);
const Rgb kBarEdge = look::kCoolLight;
const Rgb kDim = mix(look::kChrome, kBackground, 0.5);
const Rgb kLabel = mix(look::kChrome, kBackground, 0.22);
const Rgb kLoudPeak = mix(kBackground, look::kCoolLight, 0.3);
const Rgb kLoudRms = mix(look::kNightBlue, look::kCoolLight, 0.8);

// The demo's two faces, loaded from their files through FreeType. Cairo
// keeps a face as long as it uses it and closes the FreeType face with it.
class Faces {
public:
    Faces() : bold_(load(look::kFontBold)), condensed_(load(look::kFontCondensedBold)) {}
    ~Faces() {
        for (cairo_font_face_t* face : {bold_, condensed_})
            if (face) cairo_font_face_destroy(face);
    }
    Faces(const Faces&) = delete;
    Faces& operator=(const Faces&) = delete;

    // Selects a face; without the font files Cairo's own sans is used.
    void use(cairo_t* cr, bool condensed, double size) const {
        cairo_font_face_t* face = condensed ? condensed_ : bold_;
        if (face)
            cairo_set_font_face(cr, face);
        else
            cairo_select_font_face(cr, look::kFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
        cairo_set_font_size(cr, size);
    }

private:
    static cairo_font_face_t* load(const char* path) {
        // One FreeType library for the process: the faces Cairo keeps need it.
        static FT_Library library = nullptr;
        if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
        FT_Face face = nullptr;
        if (FT_New_Face(library, path, 0, &face) != 0) return nullptr;
        cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        static const cairo_user_data_key_t key{};
        if (cairo_font_face_set_user_data(cairoFace, &key, face,
                                          [](void* f) { FT_Done_Face(static_cast<FT_Face>(f)); }) !=
            CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(cairoFace);
            FT_Done_Face(face);
            return nullptr;
        }
        return cairoFace;
    }

    cairo_font_face_t* bold_;
    cairo_font_face_t* condensed_;
};

void colour(cairo_t* cr, Rgb c, double alpha = 1.0) { cairo_set_source_rgba(cr, c.rf(), c.gf(), c.bf(), alpha); }

// A filled rectangle on whole pixels, without anti-aliasing, so its colour
// is exact.
void block(cairo_t* cr, Rgb c, int x, int y, int w, int h) {
    colour(cr, c);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

void text(cairo_t* cr, const std::string& s, double x, double y, Rgb c) {
    colour(cr, c);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, s.c_str());
}

std::string clock(std::int32_t ms, bool withMs) {
    const bool negative = ms < 0;
    const long long a = negative ? -(long long)ms : ms;
    char buffer[40];
    if (withMs)
        std::snprintf(buffer, sizeof buffer, "%s%lld:%02lld.%03lld", negative ? "-" : "", a / 60000, a / 1000 % 60,
                      a % 1000);
    else
        std::snprintf(buffer, sizeof buffer, "%s%lld:%02lld", negative ? "-" : "", a / 60000, a / 1000 % 60);
    return buffer;
}

// Labels side by side in a few lanes: each goes into the first lane where it
// does not touch the one before; when no lane has room it is left out.
class Lanes {
public:
    explicit Lanes(int count) : ends_(count, -1e9) {}
    int place(double x, double width) {
        for (std::size_t lane = 0; lane < ends_.size(); ++lane) {
            if (x >= ends_[lane] + 3) {
                ends_[lane] = x + width;
                return int(lane);
            }
        }
        return -1;
    }

private:
    std::vector<double> ends_;
};

class Painter {
public:
    Painter(cairo_t* cr, const TimelinePlan& plan, const PlotLayout& layout) : cr_(cr), plan_(plan), l_(layout) {}

    void background() {
        block(cr_, kBackground, 0, 0, l_.width(), l_.height());
        const int left = l_.timelineLeft();
        for (int r = 0; r < l_.rows; r += 2) block(cr_, kRowShade, 0, l_.rowTop(r), l_.width(), l_.kRowHeight);
        // Before DEMOSTART and after the show's end nothing plays.
        shadeOutside(plan_.from, plan_.demoStart);
        shadeOutside(plan_.demoEnd, plan_.to);
        block(cr_, kBarLine, left - 1, l_.rowsTop() - 6, 1, l_.loudnessTop() + l_.kLoudnessHeight - l_.rowsTop() + 6);
    }

    void grid() {
        const int top = l_.kTitleHeight + l_.kBarNumberHeight;
        const int bottom = l_.loudnessTop() + l_.kLoudnessHeight;
        faces_.use(cr_, true, 11);
        if (!plan_.hasGrid) {
            // No tempo in the script: seconds instead of bars.
            secondsGrid(top, bottom);
            return;
        }
        const double barMs = plan_.beatMs * plan_.beatsPerBar;
        const double pxPerMs = double(l_.kTimelineWidth) / (l_.to - l_.from);
        const bool beats = plan_.beatMs * pxPerMs >= 4;
        int every = 1;
        while (barMs * every * pxPerMs < 26) every *= 2;
        const long long firstBar = (long long)std::floor(plan_.from / barMs);
        const long long lastBar = (long long)std::ceil(plan_.to / barMs);
        for (long long bar = firstBar; bar <= lastBar; ++bar) {
            if (beats) {
                for (int beat = 1; beat < plan_.beatsPerBar; ++beat)
                    vertical(std::lround(bar * barMs + beat * plan_.beatMs), kBeatLine, top + 14, bottom);
            }
            const std::int32_t at = std::int32_t(std::lround(bar * barMs));
            if (at < plan_.from || at > plan_.to) continue;
            const bool phrase = bar % (4 * every) == 0;
            vertical(at, phrase ? kPhraseLine : kBarLine, top + (bar % every == 0 ? 4 : 14), bottom);
            if (bar % every == 0) {
                const std::string number = std::to_string(bar);
                const double x = l_.columnOf(at) + 3;
                text(cr_, number, x, l_.kTitleHeight + 16, phrase ? look::kCoolLight : kDim);
            }
        }
    }

    void marks() {
        const int top = l_.kTitleHeight + l_.kBarNumberHeight;
        const int bottom = l_.loudnessTop() + l_.kLoudnessHeight;
        struct Line {
            std::int32_t time;
            std::string label;
            Rgb colour;
            int width;
        };
        std::vector<Line> lines;
        for (const PlanMark& mark : plan_.marks) lines.push_back({mark.time, mark.name, look::kWarmAccent, 1});
        if (plan_.demoStart > 0) lines.push_back({plan_.demoStart, "DEMOSTART", look::kCoolLight, 1});
        lines.push_back({plan_.demoEnd, plan_.hasDemoEnd ? "DEMOEND" : "end", look::kHotAccent, 2});
        std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.time < b.time; });
        faces_.use(cr_, true, 12);
        Lanes lanes(2);
        for (const Line& line : lines) {
            if (line.time < plan_.from || line.time > plan_.to) continue;
            const int x = l_.columnOf(line.time);
            const int w = line.time == plan_.to ? std::min(line.width, 1) : line.width;
            block(cr_, line.colour, x - (line.width - 1), top + 2, w, bottom - top - 2);
            const double width = textWidth(cr_, line.label) + 8;
            // Near the right edge the label stands left of its line.
            const double lx = x + width > l_.timelineLeft() + l_.kTimelineWidth + l_.kRightMargin ? x - width : x;
            const int lane = lanes.place(lx, width);
            if (lane < 0) continue;
            const int y = top + 2 + lane * 15;
            block(cr_, mix(kBackground, line.colour, 0.28), int(lx), y, int(width), 14);
            text(cr_, line.label, lx + 4, y + 11, line.colour);
        }
    }

    void rows() {
        for (int r = 0; r < l_.rows; ++r) rowHeader(r);
        for (int r = 0; r < l_.rows; ++r) rowEvents(r);
    }

    void axis() {
        const int y = l_.rowsBottom();
        block(cr_, kBarLine, l_.timelineLeft(), y, l_.kTimelineWidth, 1);
        faces_.use(cr_, true, 11);
        const double pxPerMs = double(l_.kTimelineWidth) / (l_.to - l_.from);
        const int steps[] = {100, 250, 500, 1000, 2000, 5000, 10000, 15000, 30000, 60000, 120000, 300000, 600000};
        int step = steps[0];
        for (int s : steps) {
            step = s;
            if (s * pxPerMs >= 110) break;
        }
        const bool withMs = step < 1000 || (l_.from % 1000) != 0;
        for (long long t = (long long)std::ceil(double(l_.from) / step) * step; t <= l_.to; t += step) {
            const int x = l_.columnOf(std::int32_t(t));
            block(cr_, kDim, x, y, 1, 5);
            const std::string label = clock(std::int32_t(t), withMs);
            double lx = x - textWidth(cr_, label) / 2;
            lx = std::clamp(lx, double(l_.timelineLeft()), l_.timelineLeft() + l_.kTimelineWidth - textWidth(cr_, label));
            text(cr_, label, lx, y + 18, kDim);
        }
    }

    void loudness(const Loudness& loud, const PlotCaption& caption) {
        const int top = l_.loudnessTop();
        const int h = l_.kLoudnessHeight;
        const int mid = top + h / 2;
        faces_.use(cr_, false, 13);
        text(cr_, "soundtrack", 16, mid - 2, look::kChrome);
        faces_.use(cr_, true, 11);
        text(cr_, caption.soundtrack.empty() ? "missing" : caption.soundtrack, 16, mid + 14, kDim);
        if (loud.columns.empty()) {
            faces_.use(cr_, true, 14);
            const std::string s = "no soundtrack: the loudness is not drawn";
            text(cr_, s, l_.timelineLeft() + (l_.kTimelineWidth - textWidth(cr_, s)) / 2, mid + 5, kDim);
            return;
        }
        // Levels relative to the loudest stretch, mirrored around the middle:
        // the music's sections show as its loudness changes.
        float loudest = 1e-6f;
        for (const LoudnessColumn& column : loud.columns) loudest = std::max(loudest, column.peak);
        auto extent = [h, loudest](float level) { return std::min(1.0, double(level) / loudest) * (h / 2 - 4); };
        const int n = int(loud.columns.size());
        for (int c = 0; c < n; ++c) {
            const int x = l_.timelineLeft() + c;
            const double peak = extent(loud.columns[c].peak), rms = extent(loud.columns[c].rms);
            block(cr_, kLoudPeak, x, int(std::lround(mid - peak)), 1, std::max(1, int(std::lround(2 * peak))));
            block(cr_, kLoudRms, x, int(std::lround(mid - rms)), 1, std::max(1, int(std::lround(2 * rms))));
        }
        if (loud.lengthMs < plan_.to && loud.lengthMs >= plan_.from) {
            const int x = l_.columnOf(std::int32_t(loud.lengthMs));
            block(cr_, look::kHotAccent, x, top + 4, 1, h - 8);
            faces_.use(cr_, true, 11);
            text(cr_, "music ends", x + 4, top + 14, look::kHotAccent);
        }
    }

    void titleAndLegend(const PlotCaption& caption) {
        faces_.use(cr_, false, 22);
        text(cr_, caption.title, 16, 32, look::kChrome);
        const double after = 16 + textWidth(cr_, caption.title) + 18;
        std::string facts = std::to_string(plan_.rows.size() + std::max(0, plan_.foldedEffects - 1)) + " effects, " +
                            std::to_string(plan_.events) + " events";
        if (plan_.hasGrid) {
            char tempo[64];
            std::snprintf(tempo, sizeof tempo, ", %g bpm, %d beats a bar", plan_.bpm, plan_.beatsPerBar);
            facts += tempo;
        }
        facts += ", " + clock(plan_.from, true) + " to " + clock(plan_.to, true);
        faces_.use(cr_, true, 14);
        text(cr_, facts, after, 32, kDim);
        if (plan_.rows.empty()) {
            faces_.use(cr_, false, 18);
            const std::string s = "the script has no events";
            text(cr_, s, l_.timelineLeft() + (l_.kTimelineWidth - textWidth(cr_, s)) / 2, l_.rowsTop() - 40, kDim);
        }

        // The legend, bottom right.
        const int y = l_.height() - 16;
        faces_.use(cr_, true, 12);
        double x = l_.timelineLeft();
        auto item = [&](const std::string& label) {
            text(cr_, label, x, y, kDim);
            x += textWidth(cr_, label) + 26;
        };
        block(cr_, kBarColour, int(x), y - 9, 26, 8);
        block(cr_, kBarEdge, int(x), y - 9, 26, 1);
        x += 32;
        item("runs (START to END)");
        initTriangle(int(x) + 4, y - 6);
        x += 14;
        item("INIT");
        block(cr_, kTickColour, int(x), y - 12, 1, 12);
        x += 6;
        item("SIGNAL, by code name");
        block(cr_, kSetupColour, int(x), y - 7, 4, 4);
        x += 10;
        item("setup signals");
        block(cr_, look::kWarmAccent, int(x), y - 12, 1, 12);
        x += 6;
        item("MARK");
        block(cr_, look::kHotAccent, int(x), y - 12, 2, 12);
        x += 7;
        item("DEMOEND, the show's end");
        if (plan_.hasGrid) item("bar numbers on top, a brighter line every four bars");
    }

private:
    void shadeOutside(std::int32_t a, std::int32_t b) {
        a = std::max(a, plan_.from);
        b = std::min(b, plan_.to);
        if (b <= a) return;
        const int x0 = l_.columnOf(a), x1 = b >= plan_.to ? l_.timelineLeft() + l_.kTimelineWidth : l_.columnOf(b);
        block(cr_, kOutsideShow, x0, l_.rowsTop(), x1 - x0, l_.rowsBottom() - l_.rowsTop());
    }

    void vertical(long long t, Rgb c, int top, int bottom) {
        if (t < plan_.from || t > plan_.to) return;
        block(cr_, c, l_.columnOf(std::int32_t(t)), top, 1, bottom - top);
    }

    void secondsGrid(int top, int bottom) {
        const double pxPerMs = double(l_.kTimelineWidth) / (l_.to - l_.from);
        int step = 1000;
        while (step * pxPerMs < 12) step *= 10;
        for (long long t = (long long)std::ceil(double(l_.from) / step) * step; t <= l_.to; t += step)
            vertical(t, (t / step) % 10 == 0 ? kBarLine : kBeatLine, top + 4, bottom);
    }

    void rowHeader(int r) {
        const PlanRow& row = plan_.rows[r];
        const int y = l_.rowTop(r);
        const bool folded = plan_.foldedEffects > 0 && r == l_.rows - 1;
        faces_.use(cr_, false, 15);
        const std::string id = folded ? std::to_string(row.firstId) + "+" : std::to_string(row.effectId);
        text(cr_, id, 54 - textWidth(cr_, id), y + 19, look::kCoolLight);
        std::string name = folded ? "+" + std::to_string(plan_.foldedEffects) + " effects" : row.name;
        std::string detail = folded ? "ids " + std::to_string(row.firstId) + " to " + std::to_string(row.lastId)
                                    : row.className;
        if (name.empty()) name = detail.empty() ? "unknown effect" : detail;
        if (name == detail) detail.clear();
        if (row.setupSignals > 0)
            detail += (detail.empty() ? "" : ", ") + std::to_string(row.setupSignals) + " setup";
        text(cr_, fit(name, l_.kHeaderWidth - 70), 64, y + 19, look::kChrome);
        faces_.use(cr_, true, 11);
        text(cr_, fit(detail, l_.kHeaderWidth - 70), 64, y + 33, kDim);
        if (row.setupSignals > 0) block(cr_, kSetupColour, l_.kHeaderWidth + 5, y + l_.kSetupDotY - 2, 5, 5);
    }

    // `s` cut with an ellipsis to at most `width` pixels in the current face.
    std::string fit(std::string s, double width) {
        if (textWidth(cr_, s) <= width) return s;
        while (!s.empty() && textWidth(cr_, s + "...") > width) s.pop_back();
        return s + "...";
    }

    void initTriangle(int x, int top) {
        colour(cr_, kInitColour);
        cairo_move_to(cr_, x + 0.5, top);
        cairo_line_to(cr_, x + 4.5, top + 4);
        cairo_line_to(cr_, x - 3.5, top + 4);
        cairo_close_path(cr_);
        cairo_fill(cr_);
        block(cr_, kInitColour, x, top, 1, 4);
    }

    void rowEvents(int r) {
        const PlanRow& row = plan_.rows[r];
        const int y = l_.rowTop(r);
        for (const PlanSpan& span : row.spans) {
            if (span.end < plan_.from || span.start > plan_.to) continue;
            const int x0 = l_.columnOf(span.start), x1 = l_.columnOf(span.end);
            const int w = std::max(1, x1 - x0);
            block(cr_, kBarColour, x0, y + l_.kBarTop, w, l_.kBarHeight);
            block(cr_, kBarEdge, x0, y + l_.kBarTop, w, 1);
            if (!span.open) block(cr_, kBarEdge, x0 + w - 1, y + l_.kBarTop, 1, l_.kBarHeight);
        }
        std::vector<const PlanSignal*> signals;
        for (const PlanSignal& s : row.signals)
            if (s.time >= plan_.from && s.time <= plan_.to) signals.push_back(&s);
        std::stable_sort(signals.begin(), signals.end(),
                         [](const PlanSignal* a, const PlanSignal* b) { return a->time < b->time; });
        // Labels first, so that the ticks stay whole where a label runs on.
        faces_.use(cr_, true, 10);
        Lanes lanes(2);
        const PlanSignal* previous = nullptr;
        for (const PlanSignal* s : signals) {
            // The same code again at the same pixel needs no second label.
            if (previous && previous->label == s->label && l_.columnOf(previous->time) == l_.columnOf(s->time))
                continue;
            previous = s;
            const double x = l_.columnOf(s->time) + 2;
            const double width = textWidth(cr_, s->label);
            const int lane = lanes.place(x - 2, width + 2);
            if (lane >= 0) text(cr_, s->label, x, y + 10 + lane * 11, kLabel);
        }
        for (std::int32_t t : row.inits)
            if (t >= plan_.from && t <= plan_.to) initTriangle(l_.columnOf(t), y + l_.kInitTop);
        for (const PlanSignal* s : signals)
            block(cr_, kTickColour, l_.columnOf(s->time), y + l_.kTickTop, 2, l_.kTickBottom - l_.kTickTop);
    }

    cairo_t* cr_;
    const TimelinePlan& plan_;
    const PlotLayout& l_;
    Faces faces_;
};

}  // namespace

bool drawTimeline(const TimelinePlan& plan, const Loudness& loudness, const PlotCaption& caption,
                  const std::string& path, std::string* error) {
    const PlotLayout layout = layoutOf(plan);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.width(), layout.height());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        if (error) *error = "cannot make a picture of " + std::to_string(layout.width()) + " x " +
                            std::to_string(layout.height()) + " pixels";
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    {
        Painter painter(cr, plan, layout);
        painter.background();
        painter.grid();
        painter.marks();
        painter.axis();
        painter.loudness(loudness, caption);
        painter.rows();
        painter.titleAndLegend(caption);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);

    // Written next to its place and renamed over it: a failed write leaves
    // neither a broken picture nor the temporary file.
    const std::string temporary = path + ".part";
    const cairo_status_t status = cairo_surface_write_to_png(surface, temporary.c_str());
    cairo_surface_destroy(surface);
    std::error_code ec;
    if (status != CAIRO_STATUS_SUCCESS) {
        std::filesystem::remove(temporary, ec);
        if (error) *error = std::string("cannot write the picture: ") + cairo_status_to_string(status);
        return false;
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        if (error) *error = "cannot write the picture: " + ec.message();
        return false;
    }
    return true;
}

}  // namespace vantor::plot
