// Building blocks of the soundtrack synthesiser: band-limited oscillators,
// filters, noise and small helpers. Everything is deterministic: noise comes
// from a seeded generator, never from the clock.
#pragma once

#include <cmath>
#include <cstdint>

namespace vantor::synth {

constexpr int kSampleRate = 44100;
constexpr float kPi = 3.14159265358979f;

inline float midiToHz(float note) { return 440.0f * std::pow(2.0f, (note - 69.0f) / 12.0f); }
inline float centsToRatio(float cents) { return std::pow(2.0f, cents / 1200.0f); }

// White noise in [-1, 1] from a 32-bit linear congruential sequence.
class Noise {
public:
    explicit Noise(std::uint32_t seed = 0x1234567u) : state_(seed) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }
    // Uniform in [0, 1).
    float unit() { return 0.5f * (next() + 1.0f); }

private:
    std::uint32_t state_;
};

// Softens the discontinuity of a naive saw or square at phase wrap (polyBLEP),
// which removes most of the aliasing of bright notes.
inline float polyBlep(float phase, float increment) {
    if (phase < increment) {
        const float t = phase / increment;
        return t + t - t * t - 1.0f;
    }
    if (phase > 1.0f - increment) {
        const float t = (phase - 1.0f) / increment;
        return t * t + t + t + 1.0f;
    }
    return 0.0f;
}

// Saw and square with a phase in [0, 1).
class Oscillator {
public:
    explicit Oscillator(float phase = 0.0f) : phase_(phase) {}

    float saw(float hz) {
        const float increment = hz / kSampleRate;
        const float out = 2.0f * phase_ - 1.0f - polyBlep(phase_, increment);
        advance(increment);
        return out;
    }
    float square(float hz) {
        const float increment = hz / kSampleRate;
        float out = phase_ < 0.5f ? 1.0f : -1.0f;
        out += polyBlep(phase_, increment);
        float shifted = phase_ + 0.5f;
        if (shifted >= 1.0f) shifted -= 1.0f;
        out -= polyBlep(shifted, increment);
        advance(increment);
        return out;
    }
    float sine(float hz) {
        const float out = std::sin(2.0f * kPi * phase_);
        advance(hz / kSampleRate);
        return out;
    }

private:
    void advance(float increment) {
        phase_ += increment;
        while (phase_ >= 1.0f) phase_ -= 1.0f;
    }
    float phase_;
};

// State-variable filter (trapezoidal integration), stable at any cutoff below
// the Nyquist frequency. resonance 0 is gentle, 1 is close to self-oscillation.
class Svf {
public:
    struct Out {
        float low, band, high;
    };

    Out process(float in, float cutoffHz, float resonance) {
        const float limited = std::fmin(std::fmax(cutoffHz, 20.0f), 0.45f * kSampleRate);
        const float g = std::tan(kPi * limited / kSampleRate);
        const float k = 2.0f - 1.95f * std::fmin(std::fmax(resonance, 0.0f), 1.0f);
        const float a1 = 1.0f / (1.0f + g * (g + k));
        const float v3 = in - ic2_;
        const float v1 = a1 * ic1_ + g * a1 * v3;
        const float v2 = ic2_ + g * v1;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        return {v2, v1, in - k * v1 - v2};
    }
    float low(float in, float cutoffHz, float resonance) { return process(in, cutoffHz, resonance).low; }
    float high(float in, float cutoffHz, float resonance) { return process(in, cutoffHz, resonance).high; }
    float band(float in, float cutoffHz, float resonance) { return process(in, cutoffHz, resonance).band; }

private:
    float ic1_ = 0.0f;
    float ic2_ = 0.0f;
};

// Attack / decay / sustain / release level at time t (s) of a note held for
// `held` seconds.
struct Adsr {
    float attack, decay, sustain, release;

    float level(float t, float held) const {
        if (t >= held) {
            const float atRelease = levelHeld(held);
            const float r = (t - held) / release;
            return r >= 1.0f ? 0.0f : atRelease * (1.0f - r) * (1.0f - r);
        }
        return levelHeld(t);
    }
    float tail() const { return release; }

private:
    float levelHeld(float t) const {
        if (t < attack) return t / attack;
        const float d = (t - attack) / decay;
        return d >= 1.0f ? sustain : 1.0f + (sustain - 1.0f) * d * (2.0f - d);
    }
};

inline float softClip(float x) {
    if (x >= 1.0f) return 1.0f;
    if (x <= -1.0f) return -1.0f;
    return 1.5f * x - 0.5f * x * x * x;
}

}  // namespace vantor::synth
