// Moving about the show while authoring: where each transport key takes the
// music, and the loop.
//
// Steps land on the music's grid (ScriptTiming: beats and bars counted from
// music time 0). A step moves by one beat (or bar) from the current position
// and lands on the grid point nearest to that: exactly one beat from a beat,
// the previous or next beat from between two. Pressed twice while the music
// plays, a step therefore moves twice, however little the music moved in
// between. No step goes below 0 or reaches the end of the show (the demo
// ends there): forward stops at the last grid point before the end.
//
// Marks: the previous mark is the latest one more than a beat before the
// position (a mark passed a moment ago counts as the current one, so pressing
// twice steps back twice); the next mark is the first one after it.
//
// The loop plays [start, end) over and over: L loops the four bars around the
// position (bars 0-3, 4-7, ... as the music's phrases run) or ends a running
// loop; the control channel sets any range. When the position reaches the
// loop's end it goes back to the start, keeping how far it ran past the end.
//
// Everything is computed from the position handed in: no clock, no keys; the
// caller moves the music and runs the script phase at the target.
#pragma once

#include "runtime/script_timing.h"

#include <optional>
#include <string>
#include <vector>

enum class TransportKey {
    BeatBack,      // Left
    BeatForward,   // Right
    BarBack,       // Shift+Left
    BarForward,    // Shift+Right
    Home,          // Home: DEMOSTART
    PreviousMark,  // PageUp
    NextMark,      // PageDown
    Loop,          // L: loop the current four bars, or end the loop
    PlayPause,     // Space
};

// What a key asks for: move the music, toggle pause, or nothing (a mark key
// with no mark that way, L, which only changes the loop).
struct TransportAction {
    std::optional<int> seekTo;
    bool togglePause = false;
};

struct LoopRange {
    int start = 0;
    int end = 0;  // exclusive
};

// A position on the grid: bar from 0 (as the script's BARn), beat from 1.
struct BarBeat {
    int bar = 0;
    int beat = 1;
};

class Transport {
public:
    static constexpr int kBarsPerLoop = 4;

    Transport(const ScriptTiming& timing, int demoStart, int endTime);

    // A script read again: its grid, marks and DEMOSTART. The loop stays.
    void setScript(const ScriptTiming& timing, int demoStart);
    // The end of the show (the script's DEMOEND, or the soundtrack's end).
    void setEndTime(int endTime) { endTime_ = endTime; }
    int endTime() const { return endTime_; }

    TransportAction press(TransportKey key, int now);
    // Where `count` beats (or bars) from now lands, back when negative, on
    // the grid and within the show as the keys step.
    int stepBeats(int now, int count) const { return step(now, timing_.beatMs(), count); }
    int stepBars(int now, int count) const { return step(now, timing_.barMs(), count); }
    // The time of the script's first mark of that name.
    std::optional<int> markTime(const std::string& name) const;
    // Where PageUp and PageDown go from now (empty: no mark that way).
    std::optional<int> previousMark(int now) const;
    std::optional<int> nextMark(int now) const;

    // The control channel's "loop A B": false (and no change) unless
    // 0 <= a < b <= the end time.
    bool setLoop(int start, int end);
    void clearLoop() { loop_.reset(); }
    const std::optional<LoopRange>& loop() const { return loop_; }

    // Where the music must go when the position has reached the loop's end;
    // empty otherwise (no loop, or not there yet).
    std::optional<int> wrap(int now) const;

    BarBeat barBeat(int now) const;
    const ScriptTiming& timing() const { return timing_; }
    int demoStart() const { return demoStart_; }

private:
    // `count` steps of `length` ms, back when negative, on that grid.
    int step(int now, double length, long long count) const;

    ScriptTiming timing_;
    std::vector<int> markTimes_;  // sorted
    int demoStart_ = 0;
    int endTime_ = 0;
    std::optional<LoopRange> loop_;
};
