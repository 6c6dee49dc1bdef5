// What the author overlay shows, filled by author mode each frame: a plain
// record, so the overlay draws without knowing the loop, the clock or the
// effect table.
#pragma once

#include "app/author/transport.h"

#include <optional>
#include <string>
#include <vector>

struct ScriptEvent;

struct OverlayEffect {
    int id = 0;
    std::string className;
};

struct OverlayState {
    int musicTime = 0;  // ms
    BarBeat position;   // bar:beat of musicTime
    double framesPerSecond = 0;
    bool paused = false;
    std::optional<LoopRange> loop;
    std::vector<OverlayEffect> running;  // the running effects, in id order
    std::string lastEvent;               // the last event dispatched (scriptEventName); empty: none yet
    int lastEventLine = 0;               // its line in the script; 0: unknown
    std::string error;                   // the current error, "FILE:LINE: message"; empty: none
    std::vector<std::string> findings;   // the script checker's, "FILE:LINE: warning: message"
};

// An event as the overlay shows it: "61440 START 15", "61440 SIGNAL 15 20 3",
// "0 SIGNAL 1 110 kake2.jpg".
std::string describeEvent(const ScriptEvent& event);
