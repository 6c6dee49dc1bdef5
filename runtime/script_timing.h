// The music's grid as the script's header describes it, for moving about the
// show while authoring: beats a minute, beats a bar and named marks.
//
//   BPM 125
//   BEATS 4
//   MARK drop 61440
//   MARK outro 215040 + 960
//
// All three words are optional; the demo itself reads them only for the grid
// names below. Beats and bars count from music time 0. A script without BPM
// steps in beats of 120 a minute (500 ms), one without BEATS has four beats a
// bar. A mark's name is one word; its time is a time expression like a
// timeline entry's ("61440", "60000 + 1440", "BAR32").
//
// With BPM in the header, the words BARn and BEATn (n a whole number) name
// the times of the grid in every time expression of the script: n bars or n
// beats from music time 0, rounded to the ms from the exact grid (at 128 bpm
// BAR9 is 16875, BEAT1 469). A DEFINE of such a name is substituted first and
// so wins. A timeline SIGNAL whose value is a grid name gets its time as
// an integer value (CLEAR_AT BAR2).
#pragma once

#include "runtime/script_diagnostic.h"
#include "runtime/script_text.h"

#include <cstdint>
#include <optional>
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

    // What a grid name stands for: empty when the word is no grid name or
    // the script has no BPM. Times beyond the 32-bit range are clamped to it.
    std::optional<std::int32_t> gridTime(std::string_view word) const;
};

// Whether the word has the form of a grid name: BAR or BEAT and digits.
bool isGridName(std::string_view word);

// How the words of a time expression read: as a number, or as a grid name
// of `timing`. Each word that is neither is noted in strayWords (it reads as
// 0); a grid name in a script without BPM is noted in gridWithoutBpm.
struct TimeWordReading {
    const ScriptTiming* timing = nullptr;  // null: numbers only
    std::vector<std::string_view> strayWords;
    std::vector<std::string_view> gridWithoutBpm;
    std::vector<std::string_view> words;  // every word read, in order

    std::int32_t operator()(std::string_view word);
};

// Reads the timing word `word` (BPM, BEATS or MARK) standing on file line
// `line` from the words that follow it in `ahead`, a copy of the header's
// reader, so the header itself reads on exactly as the demo does. A value that
// does not fit leaves the timing as it was and adds a warning. Returns false
// when `word` is not a timing word.
// MARK's time is read with `times`.
bool readTimingWord(std::string_view word, vantor::script_text::WordReader ahead, int line, ScriptTiming& timing,
                    TimeWordReading& times, std::vector<ScriptDiagnostic>& warnings);
