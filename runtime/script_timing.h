// The music's grid as the script's header describes it, for moving about the
// show while authoring: beats a minute, beats a bar and named marks.
//
//   BPM 125
//   BEATS 4
//   MARK drop 61440
//   MARK outro 215040 + 960
//
// All three words are optional; the demo itself ignores them (the header
// keeps only DEMOSTART). Beats and bars count from music time 0. A script
// without BPM steps in beats of 120 a minute (500 ms), one without BEATS has
// four beats a bar. A mark's name is one word; its time is a time expression
// like a timeline entry's ("61440", "60000 + 1440").
#pragma once

#include "runtime/script_diagnostic.h"
#include "runtime/script_text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct ScriptMark {
    std::string name;
    std::int32_t time = 0;
    int line = 0;  // the line of the file the word MARK stands on
};

struct ScriptTiming {
    static constexpr double kDefaultBpm = 120.0;
    static constexpr int kDefaultBeatsPerBar = 4;
    static constexpr double kMinBpm = 20.0;
    static constexpr double kMaxBpm = 999.0;
    static constexpr int kMaxBeatsPerBar = 64;

    double bpm = kDefaultBpm;
    int bpmLine = 0;  // 0: the script has no BPM
    int beatsPerBar = kDefaultBeatsPerBar;
    int beatsLine = 0;              // 0: the script has no BEATS
    std::vector<ScriptMark> marks;  // in file order

    double beatMs() const { return 60000.0 / bpm; }
    double barMs() const { return beatMs() * beatsPerBar; }
};

// Reads the timing word `word` (BPM, BEATS or MARK) standing on file line
// `line` from the words that follow it in `ahead`, a copy of the header's
// reader, so the header itself reads on exactly as the demo does. A value that
// does not fit leaves the timing as it was and adds a warning. Returns false
// when `word` is not a timing word.
bool readTimingWord(std::string_view word, vantor::script_text::WordReader ahead, int line, ScriptTiming& timing,
                    std::vector<ScriptDiagnostic>& warnings);
