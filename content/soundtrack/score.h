// The soundtrack's score, written in code: a four-minute piece at 125 beats per
// minute in A minor, 126 bars of 4 beats (241.92 s).
//
//   bars   0- 16  intro: pads open up, hats and a filtered arpeggio join
//   bars  16- 32  first build-up: kick, rolling bass, snare roll and riser
//   bars  32- 64  first drop: full drums, bass, pads, lead melody
//   bars  64- 80  breakdown: pads and a soft lead, then a second build-up
//   bars  80-112  second drop: the lead doubled an octave up, open hats
//   bars 112-126  outro: the drums thin out, the last chord fades by 240 s
//
// A bar lasts 1920 ms, so section changes fall on whole music milliseconds
// (the first drop at 61440 ms, the second at 153600 ms) for the timeline.
#pragma once

#include "content/soundtrack/instruments.h"

#include <vector>

namespace vantor::synth {

constexpr int kBeatsPerBar = 4;
constexpr double kBeatsPerMinute = 125.0;
constexpr int kSongBars = 126;

struct ScoreNote {
    Instrument instrument;
    double beat;   // start, in beats from the beginning of the song
    double beats;  // held length in beats
    float midi;
    float velocity;
    float brightness;
};

struct Score {
    int bars = kSongBars;
    std::vector<ScoreNote> notes;   // in no particular order
    std::vector<bool> kickInBar;    // bars whose kick ducks the other instruments
    double fadeOutStartBeat = 0.0;  // master fade to silence
    double fadeOutEndBeat = 0.0;
};

Score composeSoundtrack();

}  // namespace vantor::synth
