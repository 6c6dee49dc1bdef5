// The instruments of the soundtrack. Each renders one note (or one drum hit)
// on its own into a short stereo block; the mixer places the block in the song.
#pragma once

#include <cstdint>
#include <vector>

namespace vantor::synth {

enum class Instrument { Kick, Snare, ClosedHat, OpenHat, Crash, Bass, Pad, Lead, Arp, Riser };

struct NoteParams {
    float midi = 60.0f;       // pitch as a MIDI note number (ignored by drums)
    float seconds = 0.1f;     // how long the note is held (the release follows)
    float velocity = 1.0f;    // 0..1
    float brightness = 0.5f;  // 0..1: filter opening
    std::uint32_t seed = 1;   // noise and start phases
};

struct StereoBlock {
    std::vector<float> left;
    std::vector<float> right;
};

StereoBlock renderNote(Instrument instrument, const NoteParams& note);

}  // namespace vantor::synth
