// What the timeline picture shows, worked out from a parsed script: one row
// per effect with the spans it runs, its INITs and its signals (named as the
// script names them, else as the effect protocol does), the music's grid and
// marks, and the stretch of music time drawn.
//
// Pure data: the drawing (timeline_plot.h) only lays it out.
#pragma once

#include "runtime/script.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::plot {

struct PlanSpan {
    std::int32_t start = 0, end = 0;  // music ms; end is where the effect stops (or the show ends)
    bool open = false;                // no END before the show's end
};

struct PlanSignal {
    std::int32_t time = 0;
    std::string label;  // the code's name, else its number
};

struct PlanRow {
    int effectId = 0;
    std::string name;       // the script's name for the id (a DEFINE), else empty
    std::string className;  // the effect's class from the protocol table, else empty
    std::vector<PlanSpan> spans;
    std::vector<std::int32_t> inits;
    std::vector<PlanSignal> signals;
    int setupSignals = 0;
    int firstId = 0, lastId = 0;  // the ids a folded row stands for (see kMaxRows)
};

struct PlanMark {
    std::string name;
    std::int32_t time = 0;
};

struct TimelinePlan {
    // At most this many rows: the effects past the last but one are drawn
    // together on the last row, so any script gives a picture of bounded size.
    static constexpr int kMaxRows = 120;

    std::int32_t from = 0, to = 0;  // the music time drawn
    std::int32_t demoStart = 0, demoEnd = 0;
    bool hasDemoEnd = false;  // the script sets DEMOEND (else the show ends at 240000 or with its music)
    double beatMs = 500;
    int beatsPerBar = 4;
    bool hasGrid = false;  // the script gives BPM or BEATS
    double bpm = 120;
    std::vector<PlanMark> marks;
    std::vector<PlanRow> rows;  // in id order
    int foldedEffects = 0;      // effects drawn together on the last row
    int events = 0;             // timeline and setup events of the script
};

// The plan of `script`, read from `text` (the file as it was parsed, for the
// names its events use), between `from` and `to` (music ms; to > from), for
// a show that ends at `demoEnd` (Script::endTime).
TimelinePlan planTimeline(const Script& script, std::string_view text, std::int32_t from, std::int32_t to,
                          std::int32_t demoEnd);

}  // namespace vantor::plot
