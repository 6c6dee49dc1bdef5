// Turns the score into stereo sound: every note is rendered by its instrument
// and placed through its channel strip (level, pan, kick ducking, delay and
// reverb sends); then the sends are processed and the master is levelled.
#pragma once

#include "content/soundtrack/score.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace vantor::synth {

struct StereoTrack {
    std::vector<float> left;
    std::vector<float> right;
    std::size_t frames() const { return left.size(); }
};

double samplesPerBeat();

// Called with the share of the work done, 0 to 1.
using Progress = std::function<void(double done)>;

// Renders the notes that start in bars [firstBar, endBar) into a track of
// exactly those bars, with sends and effects but without master levelling,
// so that excerpts keep their levels relative to each other.
StereoTrack renderBars(const Score& score, int firstBar, int endBar, const Progress& progress = {});

// The master bus: the score's fade-out (for a track that starts at bar 0), a
// soft-knee limiter and normalisation so that the highest peak lies at
// `peak` (below 1: nothing clips).
void master(const Score& score, StereoTrack& track, float peak = 0.89f);

}  // namespace vantor::synth
