#include "content/soundtrack/score.h"

#include <array>
#include <vector>

namespace vantor::synth {
namespace {

struct Chord {
    float bass;                // root, low
    std::array<float, 4> pad;  // voicing around middle C
    std::array<float, 4> arp;  // pattern notes, an octave up
};

// Am - F - C - G, two bars each.
const std::array<Chord, 4> kChords = {{
    {33, {57, 60, 64, 69}, {69, 72, 76, 81}},
    {29, {53, 57, 60, 65}, {65, 69, 72, 77}},
    {36, {55, 60, 64, 67}, {67, 72, 76, 79}},
    {31, {55, 59, 62, 67}, {67, 71, 74, 79}},
}};

const Chord& chordOfBar(int bar) { return kChords[(bar / 2) % 4]; }

// The lead melodies: eight bars each over one round of the chords, as
// (bar, sixteenth, length in sixteenths, note). A is the theme, B answers it
// with more movement.
struct MelodyNote {
    int bar, step, length;
    float midi;
};
const std::vector<MelodyNote> kThemeA = {
    {0, 0, 3, 69},  {0, 3, 3, 72}, {0, 6, 2, 76},  {0, 8, 2, 74},  {0, 10, 2, 72}, {0, 12, 4, 69}, {1, 0, 3, 76},
    {1, 3, 3, 74},  {1, 6, 2, 72}, {1, 8, 4, 71},  {1, 12, 2, 69}, {1, 14, 2, 67}, {2, 0, 3, 69},  {2, 3, 3, 72},
    {2, 6, 2, 77},  {2, 8, 2, 76}, {2, 10, 2, 72}, {2, 12, 4, 69}, {3, 0, 6, 72},  {3, 6, 2, 69},  {3, 8, 4, 72},
    {3, 12, 4, 74}, {4, 0, 3, 76}, {4, 3, 3, 79},  {4, 6, 2, 76},  {4, 8, 2, 74},  {4, 10, 2, 72}, {4, 12, 4, 76},
    {5, 0, 4, 79},  {5, 4, 2, 76}, {5, 6, 2, 72},  {5, 8, 4, 74},  {5, 12, 4, 76}, {6, 0, 3, 74},  {6, 3, 3, 71},
    {6, 6, 2, 67},  {6, 8, 2, 71}, {6, 10, 2, 74}, {6, 12, 4, 79}, {7, 0, 4, 74},  {7, 4, 4, 76},  {7, 8, 4, 71},
    {7, 12, 4, 76},
};
const std::vector<MelodyNote> kThemeB = {
    {0, 0, 2, 76},  {0, 2, 2, 76},  {0, 4, 2, 81},  {0, 6, 2, 79},  {0, 8, 4, 76},  {0, 12, 2, 72}, {0, 14, 2, 74},
    {1, 0, 6, 76},  {1, 6, 2, 74},  {1, 8, 2, 72},  {1, 10, 2, 71}, {1, 12, 4, 72}, {2, 0, 2, 77},  {2, 2, 2, 77},
    {2, 4, 2, 81},  {2, 6, 2, 79},  {2, 8, 4, 77},  {2, 12, 2, 76}, {2, 14, 2, 72}, {3, 0, 6, 72},  {3, 6, 2, 69},
    {3, 8, 2, 72},  {3, 10, 2, 76}, {3, 12, 4, 77}, {4, 0, 2, 79},  {4, 2, 2, 79},  {4, 4, 2, 84},  {4, 6, 2, 79},
    {4, 8, 4, 76},  {4, 12, 2, 74}, {4, 14, 2, 76}, {5, 0, 6, 79},  {5, 6, 2, 76},  {5, 8, 2, 74},  {5, 10, 2, 72},
    {5, 12, 4, 76}, {6, 0, 2, 74},  {6, 2, 2, 74},  {6, 4, 2, 79},  {6, 6, 2, 74},  {6, 8, 4, 71},  {6, 12, 2, 67},
    {6, 14, 2, 71}, {7, 0, 4, 74},  {7, 4, 4, 76},  {7, 8, 4, 79},  {7, 12, 4, 76},
};

// Drops run A A B A and A B A B; everywhere else the lead plays A.
const std::vector<MelodyNote>& themeOfBar(int bar) {
    const int phrase = bar / 8;
    const bool b = phrase == 6 || phrase == 11 || phrase == 13;
    return b ? kThemeB : kThemeA;
}

// What plays in one bar.
struct BarPlan {
    bool kick = false, snare = false, closedHats = false, offbeatHats = false, openHats = false;
    bool bass = false, longBass = false, pad = true, lead = false, leadOctave = false, arp = false;
    bool roll = false, riserStart = false, crash = false;
    float padBright = 0.5f, arpBright = 0.5f, leadBright = 0.6f, leadVelocity = 1.0f;
    float bassVelocity = 1.0f, arpVelocity = 1.0f;
};

float ramp(int bar, int from, int to, float a, float b) {
    const float x = static_cast<float>(bar - from) / static_cast<float>(to - from);
    return a + (b - a) * (x < 0 ? 0 : x > 1 ? 1 : x);
}

BarPlan planBar(int bar) {
    BarPlan p;
    if (bar < 16) {  // intro
        p.padBright = ramp(bar, 0, 16, 0.2f, 0.45f);
        p.offbeatHats = bar >= 8;
        p.arp = bar >= 8;
        p.arpBright = ramp(bar, 8, 16, 0.1f, 0.3f);
    } else if (bar < 32) {  // first build-up
        p.kick = bar < 31;
        p.bass = true;
        p.closedHats = true;
        p.snare = bar >= 24 && bar < 28;
        p.roll = bar >= 28;
        p.riserStart = bar == 28;
        p.arp = true;
        p.bassVelocity = 0.6f;
        p.arpVelocity = ramp(bar, 16, 32, 0.6f, 0.9f);
        p.padBright = ramp(bar, 16, 32, 0.45f, 0.6f);
        p.arpBright = ramp(bar, 16, 32, 0.3f, 0.85f);
    } else if (bar < 64) {  // first drop
        p.kick = p.snare = p.closedHats = p.bass = p.lead = true;
        p.openHats = bar >= 40;
        p.arp = bar >= 48;
        p.crash = bar % 8 == 0;
        p.padBright = 0.6f;
        p.arpBright = 0.5f;
        p.leadBright = 0.6f;
    } else if (bar < 80) {  // breakdown and second build-up
        p.crash = bar == 64;
        p.longBass = bar < 72;
        p.lead = bar < 72;
        p.leadBright = 0.15f;
        p.leadVelocity = 0.7f;
        p.padBright = ramp(bar, 64, 80, 0.3f, 0.8f);
        p.arp = bar >= 72;
        p.arpBright = ramp(bar, 72, 80, 0.15f, 0.9f);
        p.bass = bar >= 72;
        p.kick = bar >= 72 && bar < 79;
        p.closedHats = bar >= 76;
        p.roll = bar >= 76;
        p.riserStart = bar == 76;
    } else if (bar < 112) {  // second drop
        p.kick = p.snare = p.closedHats = p.openHats = p.bass = p.lead = p.arp = true;
        p.leadOctave = true;
        p.crash = bar % 8 == 0;
        p.padBright = 0.7f;
        p.arpBright = 0.55f;
        p.leadBright = 0.7f;
    } else {  // outro
        p.crash = bar == 112 || bar == 120;
        p.kick = p.closedHats = p.bass = bar < 120;
        p.arp = bar < 120;
        p.arpBright = ramp(bar, 112, 120, 0.5f, 0.1f);
        p.padBright = ramp(bar, 112, 124, 0.5f, 0.1f);
    }
    return p;
}

class Composer {
public:
    Score score;

    void add(Instrument instrument, double beat, double beats, float midi, float velocity, float brightness) {
        score.notes.push_back({instrument, beat, beats, midi, velocity, brightness});
    }

    void bar(int bar, const BarPlan& p) {
        const double start = static_cast<double>(bar) * kBeatsPerBar;
        const Chord& chord = chordOfBar(bar);
        score.kickInBar[bar] = p.kick;

        if (p.crash) add(Instrument::Crash, start, 0, 0, 0.8f, 0);
        if (p.riserStart) add(Instrument::Riser, start, 4.0 * kBeatsPerBar, 0, 0.9f, 0);
        if (p.pad && bar % 2 == 0 && bar <= 120) {
            // One chord for two bars; the last chord of the song rings out.
            const double length = bar >= 120 ? 5.0 * kBeatsPerBar : 2.0 * kBeatsPerBar;
            for (float note : chord.pad) add(Instrument::Pad, start, length, note, 0.9f, p.padBright);
        }
        if (p.longBass && bar % 2 == 0) add(Instrument::Bass, start, 2.0 * kBeatsPerBar - 0.25, chord.bass, 0.9f, 0.1f);

        for (int beat = 0; beat < kBeatsPerBar; ++beat) {
            const double at = start + beat;
            if (p.kick) add(Instrument::Kick, at, 0, 0, 1.0f, 0);
            if (p.snare && beat % 2 == 1) add(Instrument::Snare, at, 0, 0, 0.9f, 0);
            if (p.openHats) add(Instrument::OpenHat, at + 0.5, 0, 0, 0.45f, 0);
            for (int step = 0; step < 4; ++step) {
                const double at16 = at + step * 0.25;
                static constexpr float kHatAccent[4] = {0.55f, 0.3f, 0.8f, 0.3f};
                if (p.closedHats && !(p.openHats && step == 2))
                    add(Instrument::ClosedHat, at16, 0, 0, kHatAccent[step], 0);
                if (p.offbeatHats && step == 2) add(Instrument::ClosedHat, at16, 0, 0, 0.45f, 0);
                // Rolling bass: the three sixteenths between the kicks.
                if (p.bass && step != 0)
                    add(Instrument::Bass, at16, 0.2, chord.bass + (step == 3 ? 12.0f : 0.0f),
                        (step == 3 ? 0.7f : 0.85f) * p.bassVelocity, 0.35f);
                if (p.arp) {
                    static constexpr int kArpOrder[8] = {0, 1, 2, 3, 2, 1, 3, 1};
                    const int index = (beat * 4 + step) % 8;
                    add(Instrument::Arp, at16, 0.25, chord.arp[kArpOrder[index]],
                        (index % 2 ? 0.6f : 0.85f) * p.arpVelocity, p.arpBright);
                }
            }
        }
        if (p.roll) snareRoll(bar, start);
        if (p.lead) melody(bar, start, p);
    }

    // Four bars of snare getting denser and louder into the next downbeat.
    void snareRoll(int bar, double start) {
        const int position = bar % 4;
        const int perBeat = position < 2 ? 2 : 4;
        for (int beat = 0; beat < kBeatsPerBar; ++beat) {
            const int hits = position == 3 && beat == 3 ? 8 : perBeat;
            for (int h = 0; h < hits; ++h) {
                const double at = start + beat + static_cast<double>(h) / hits;
                const float progress = static_cast<float>((position * 4 + beat) * 8 + h * 8 / hits) / 128.0f;
                add(Instrument::Snare, at, 0, 0, 0.25f + 0.7f * progress, 0);
            }
        }
    }

    void melody(int bar, double start, const BarPlan& p) {
        const int phraseBar = bar % 8;
        for (const MelodyNote& note : themeOfBar(bar)) {
            if (note.bar != phraseBar) continue;
            const double at = start + note.step * 0.25;
            const double length = note.length * 0.25 * 0.85;
            add(Instrument::Lead, at, length, note.midi, 0.85f * p.leadVelocity, p.leadBright);
            if (p.leadOctave) add(Instrument::Lead, at, length, note.midi + 12.0f, 0.4f, p.leadBright);
        }
    }
};

}  // namespace

Score composeSoundtrack() {
    Composer composer;
    composer.score.kickInBar.assign(kSongBars, false);
    for (int bar = 0; bar < kSongBars; ++bar) composer.bar(bar, planBar(bar));
    composer.score.fadeOutStartBeat = 121.0 * kBeatsPerBar;
    composer.score.fadeOutEndBeat = 125.0 * kBeatsPerBar;
    return composer.score;
}

}  // namespace vantor::synth
