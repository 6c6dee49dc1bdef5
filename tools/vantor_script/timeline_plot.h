// The timeline picture: a plan (timeline_plan.h) drawn with Cairo in the
// demo's palette and type and written as a PNG file.
//
// From the top: the title, the bar numbers, the marks; one row per effect
// (its id and name, then the spans it runs as bars, INITs as triangles below
// them and signals as ticks through them, labelled with their code names);
// the time axis; the soundtrack's loudness; a legend.
#pragma once

#include "content/common/demo_look.h"
#include "tools/vantor_script/soundtrack_loudness.h"
#include "tools/vantor_script/timeline_plan.h"

#include <cstdint>
#include <string>

namespace vantor::plot {

// Where things are, in pixels, so that readers of the picture (its test) can
// find them.
struct PlotLayout {
    static constexpr int kHeaderWidth = 262;  // the row names
    static constexpr int kSetupWidth = 16;    // the setup column left of the timeline
    static constexpr int kTimelineWidth = 2400;
    static constexpr int kRightMargin = 48;
    static constexpr int kTitleHeight = 58;
    static constexpr int kBarNumberHeight = 22;
    static constexpr int kMarkHeight = 34;
    static constexpr int kRowHeight = 40;
    static constexpr int kAxisHeight = 26;
    static constexpr int kLoudnessHeight = 100;
    static constexpr int kFooterHeight = 40;
    // Within a row: signal ticks from kTickTop to kTickBottom (exclusive),
    // the running bar from kBarTop for kBarHeight, INIT triangles from
    // kInitTop; the setup column's dot at kSetupDotY.
    static constexpr int kTickTop = 24, kTickBottom = 36;
    static constexpr int kBarTop = 27, kBarHeight = 8;
    static constexpr int kInitTop = 36;
    static constexpr int kSetupDotY = 31;

    std::int32_t from = 0, to = 1;
    int rows = 0;

    int timelineLeft() const { return kHeaderWidth + kSetupWidth; }
    int rowsTop() const { return kTitleHeight + kBarNumberHeight + kMarkHeight; }
    int rowTop(int row) const { return rowsTop() + row * kRowHeight; }
    int rowsBottom() const { return rowTop(rows); }
    int loudnessTop() const { return rowsBottom() + kAxisHeight; }
    int width() const { return timelineLeft() + kTimelineWidth + kRightMargin; }
    int height() const { return loudnessTop() + kLoudnessHeight + kFooterHeight; }
    // The pixel column of music time t (clamped to the timeline).
    int columnOf(std::int32_t t) const;
};

PlotLayout layoutOf(const TimelinePlan& plan);

// The colours of what the test looks for, exactly as drawn.
inline constexpr look::Rgb kTickColour = look::kHotAccent;
inline constexpr look::Rgb kInitColour = look::kWarmAccent;
inline constexpr look::Rgb kBarColour{0x1f, 0x6f, 0x8c};
inline constexpr look::Rgb kSetupColour = look::kChrome;

struct PlotCaption {
    std::string title;       // the script's file name
    std::string soundtrack;  // its file name, or empty when it is missing
};

// Draws the plan and writes it to `path` (through a temporary file, so a
// failed write leaves nothing behind). `loudness` may be empty: the strip
// then says there is no soundtrack. False with the reason in *error.
bool drawTimeline(const TimelinePlan& plan, const Loudness& loudness, const PlotCaption& caption,
                  const std::string& path, std::string* error);

}  // namespace vantor::plot
