#include "content/soundtrack/instruments.h"

#include "content/soundtrack/synth_dsp.h"

#include <algorithm>
#include <cmath>

namespace vantor::synth {
namespace {

StereoBlock makeBlock(float seconds) {
    const auto length = static_cast<std::size_t>(std::ceil(seconds * kSampleRate)) + 1;
    return {std::vector<float>(length, 0.0f), std::vector<float>(length, 0.0f)};
}

void setMono(StereoBlock& block, std::size_t i, float value) {
    block.left[i] = value;
    block.right[i] = value;
}

float secondsAt(std::size_t i) { return static_cast<float>(i) / kSampleRate; }

// Metallic ringing of six detuned squares, the base of hats and cymbals.
class Metal {
public:
    float next() {
        static constexpr float kFreqs[6] = {205.3f, 304.4f, 369.6f, 522.7f, 540.0f, 800.0f};
        float sum = 0.0f;
        for (int i = 0; i < 6; ++i) sum += oscillators_[i].square(kFreqs[i] * 2.2f);
        return sum / 6.0f;
    }

private:
    Oscillator oscillators_[6] = {Oscillator(0.0f),  Oscillator(0.31f), Oscillator(0.57f),
                                  Oscillator(0.13f), Oscillator(0.77f), Oscillator(0.42f)};
};

StereoBlock kick(const NoteParams& note) {
    StereoBlock block = makeBlock(0.6f);
    Noise noise(note.seed);
    float phase = 0.0f;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float hz = 44.0f + 120.0f * std::exp(-t / 0.032f);
        phase += 2.0f * kPi * hz / kSampleRate;
        const float attack = std::fmin(1.0f, t / 0.0015f);
        const float body = std::sin(phase) * std::exp(-t / 0.30f) * attack;
        const float click = noise.next() * std::exp(-t / 0.0025f) * 0.25f;
        setMono(block, i, std::tanh(1.6f * (body + click)) * note.velocity);
    }
    return block;
}

StereoBlock snare(const NoteParams& note) {
    StereoBlock block = makeBlock(0.45f);
    Noise noise(note.seed);
    Oscillator tone;
    Svf highPass, bandPass;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float body = tone.sine(165.0f + 40.0f * std::exp(-t / 0.02f)) * std::exp(-t / 0.055f) * 0.55f;
        const float n = noise.next();
        const float hiss = highPass.high(n, 1400.0f, 0.1f) * std::exp(-t / 0.14f) * 0.6f;
        const float snap = bandPass.band(n, 3200.0f, 0.4f) * std::exp(-t / 0.03f) * 0.5f;
        setMono(block, i, (body + hiss + snap) * note.velocity);
    }
    return block;
}

StereoBlock cymbal(const NoteParams& note, float decay, float cutoff, float seconds) {
    StereoBlock block = makeBlock(seconds);
    Noise noiseLeft(note.seed), noiseRight(note.seed * 7u + 3u);
    Metal metal;
    Svf filterLeft, filterRight;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float env = std::exp(-t / decay) * std::fmin(1.0f, t / 0.001f) * note.velocity;
        const float ring = metal.next() * 0.6f;
        block.left[i] = filterLeft.high(ring + noiseLeft.next() * 0.5f, cutoff, 0.2f) * env;
        block.right[i] = filterRight.high(ring + noiseRight.next() * 0.5f, cutoff, 0.2f) * env;
    }
    return block;
}

StereoBlock bass(const NoteParams& note) {
    const Adsr adsr{0.003f, 0.12f, 0.75f, 0.03f};
    StereoBlock block = makeBlock(note.seconds + adsr.tail());
    const float hz = midiToHz(note.midi);
    Oscillator saw(0.0f), sub(0.25f);
    Svf filter;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float cutoff = (140.0f + 1400.0f * note.brightness) * (1.0f + 2.5f * std::exp(-t / 0.05f));
        const float raw = saw.saw(hz) * 0.7f + sub.sine(hz) * 0.6f;
        setMono(block, i, filter.low(raw, cutoff, 0.35f) * adsr.level(t, note.seconds) * note.velocity);
    }
    return block;
}

StereoBlock pad(const NoteParams& note) {
    const Adsr adsr{0.45f, 0.6f, 0.85f, 1.1f};
    StereoBlock block = makeBlock(note.seconds + adsr.tail());
    const float hz = midiToHz(note.midi);
    Noise phases(note.seed);
    Oscillator voices[4] = {Oscillator(phases.unit()), Oscillator(phases.unit()), Oscillator(phases.unit()),
                            Oscillator(phases.unit())};
    const float detune[4] = {centsToRatio(-11.0f), centsToRatio(-4.0f), centsToRatio(5.0f), centsToRatio(12.0f)};
    Svf filterLeft, filterRight;
    const float lfoPhase = phases.unit() * 2.0f * kPi;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float lfo = 1.0f + 0.25f * std::sin(lfoPhase + 2.0f * kPi * 0.17f * t);
        const float cutoff = (250.0f + 3200.0f * note.brightness * note.brightness) * lfo;
        const float v0 = voices[0].saw(hz * detune[0]), v1 = voices[1].saw(hz * detune[1]);
        const float v2 = voices[2].saw(hz * detune[2]), v3 = voices[3].saw(hz * detune[3]);
        const float level = adsr.level(t, note.seconds) * note.velocity;
        block.left[i] = filterLeft.low(v0 + 0.7f * v1 + 0.4f * v2, cutoff, 0.15f) * level;
        block.right[i] = filterRight.low(0.4f * v1 + 0.7f * v2 + v3, cutoff, 0.15f) * level;
    }
    return block;
}

StereoBlock lead(const NoteParams& note) {
    const Adsr adsr{0.006f, 0.18f, 0.7f, 0.14f};
    StereoBlock block = makeBlock(note.seconds + adsr.tail());
    const float hz = midiToHz(note.midi);
    Oscillator a(0.0f), b(0.37f), c(0.61f);
    Svf filterLeft, filterRight;
    const float up = centsToRatio(8.0f), down = centsToRatio(-8.0f);
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float vibratoDepth = 0.18f * std::fmin(1.0f, std::fmax(0.0f, (t - 0.18f) / 0.25f));
        const float vibrato = std::pow(2.0f, vibratoDepth * std::sin(2.0f * kPi * 5.6f * t) / 12.0f);
        const float f = hz * vibrato;
        const float sawUp = a.saw(f * up), sawDown = b.saw(f * down);
        const float square = c.square(f * 0.5f) * 0.35f;
        const float cutoff = (900.0f + 4200.0f * note.brightness) * (1.0f + 1.2f * std::exp(-t / 0.09f));
        const float level = adsr.level(t, note.seconds) * note.velocity;
        block.left[i] = filterLeft.low(sawUp + square, cutoff, 0.25f) * level;
        block.right[i] = filterRight.low(sawDown + square, cutoff, 0.25f) * level;
    }
    return block;
}

StereoBlock arp(const NoteParams& note) {
    StereoBlock block = makeBlock(0.35f);
    const float hz = midiToHz(note.midi);
    Oscillator saw(0.0f), square(0.5f);
    Svf filter;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float t = secondsAt(i);
        const float cutoff = 250.0f + 6000.0f * note.brightness * std::exp(-t / 0.07f);
        const float raw = saw.saw(hz) + 0.5f * square.square(hz * 2.0f);
        const float env = std::exp(-t / 0.16f) * std::fmin(1.0f, t / 0.002f);
        setMono(block, i, filter.low(raw, cutoff, 0.45f) * env * note.velocity);
    }
    return block;
}

// Filtered noise sweeping upwards over the held time and swelling into the
// next downbeat.
StereoBlock riser(const NoteParams& note) {
    StereoBlock block = makeBlock(note.seconds);
    Noise noiseLeft(note.seed), noiseRight(note.seed + 101u);
    Svf filterLeft, filterRight;
    for (std::size_t i = 0; i < block.left.size(); ++i) {
        const float x = std::fmin(1.0f, secondsAt(i) / note.seconds);
        const float cutoff = 250.0f * std::pow(40.0f, x);
        const float env = x * x * note.velocity;
        block.left[i] = filterLeft.band(noiseLeft.next(), cutoff, 0.6f) * env;
        block.right[i] = filterRight.band(noiseRight.next(), cutoff, 0.6f) * env;
    }
    return block;
}

// Brings the end of a block smoothly to silence over its last `seconds`, so
// that no note ends with a click wherever its decay has got to.
StereoBlock fadeTail(StereoBlock block, float seconds) {
    const std::size_t length = block.left.size();
    const std::size_t fade = std::min(length, static_cast<std::size_t>(seconds * kSampleRate));
    for (std::size_t k = 0; k < fade; ++k) {
        const float x = static_cast<float>(k + 1) / static_cast<float>(fade);  // 1 at the last sample
        const float gain = 0.5f + 0.5f * std::cos(kPi * x);
        block.left[length - fade + k] *= gain;
        block.right[length - fade + k] *= gain;
    }
    return block;
}

StereoBlock renderRaw(Instrument instrument, const NoteParams& note) {
    switch (instrument) {
    case Instrument::Kick: return fadeTail(kick(note), 0.15f);
    case Instrument::Snare: return snare(note);
    case Instrument::ClosedHat: return cymbal(note, 0.022f, 7000.0f, 0.12f);
    case Instrument::OpenHat: return cymbal(note, 0.16f, 6500.0f, 0.6f);
    case Instrument::Crash: return cymbal(note, 1.4f, 4200.0f, 4.0f);
    case Instrument::Bass: return bass(note);
    case Instrument::Pad: return pad(note);
    case Instrument::Lead: return lead(note);
    case Instrument::Arp: return arp(note);
    case Instrument::Riser: return riser(note);
    }
    return {};
}

}  // namespace

StereoBlock renderNote(Instrument instrument, const NoteParams& note) {
    return fadeTail(renderRaw(instrument, note), 0.02f);
}

}  // namespace vantor::synth
