#include "content/soundtrack/mixer.h"

#include "content/soundtrack/effects_bus.h"
#include "content/soundtrack/synth_dsp.h"

#include <algorithm>
#include <cmath>

namespace vantor::synth {
namespace {

struct ChannelStrip {
    float gain;
    float pan;   // -1 left .. 1 right
    float duck;  // how deep the kick pushes the instrument down, 0..1
    float delaySend;
    float reverbSend;
};

ChannelStrip stripOf(Instrument instrument) {
    switch (instrument) {
    case Instrument::Kick: return {0.48f, 0.0f, 0.0f, 0.0f, 0.0f};
    case Instrument::Snare: return {0.75f, 0.0f, 0.0f, 0.0f, 0.22f};
    case Instrument::ClosedHat: return {0.9f, 0.25f, 0.0f, 0.0f, 0.02f};
    case Instrument::OpenHat: return {0.6f, -0.2f, 0.2f, 0.0f, 0.1f};
    case Instrument::Crash: return {0.35f, 0.0f, 0.0f, 0.0f, 0.25f};
    case Instrument::Bass: return {0.55f, 0.0f, 0.75f, 0.0f, 0.0f};
    case Instrument::Pad: return {0.095f, 0.0f, 0.6f, 0.0f, 0.35f};
    case Instrument::Lead: return {0.33f, 0.0f, 0.35f, 0.3f, 0.22f};
    case Instrument::Arp: return {0.14f, 0.0f, 0.45f, 0.35f, 0.15f};
    case Instrument::Riser: return {0.25f, 0.0f, 0.0f, 0.0f, 0.3f};
    }
    return {};
}

// Gain of a ducked instrument at a sample: pushed down on every kick and back
// up within a quarter of a second.
float duckGain(const Score& score, double sample, float depth) {
    if (depth <= 0.0f) return 1.0f;
    const double beat = sample / samplesPerBeat();
    const int bar = static_cast<int>(beat / kBeatsPerBar);
    if (bar < 0 || bar >= static_cast<int>(score.kickInBar.size()) || !score.kickInBar[bar]) return 1.0f;
    const double since = (beat - std::floor(beat)) * samplesPerBeat() / kSampleRate;
    const float x = static_cast<float>(std::min(1.0, since / 0.23));
    return 1.0f - depth * (1.0f - x) * (1.0f - x);
}

std::uint32_t seedOf(const ScoreNote& note, std::size_t index) {
    return static_cast<std::uint32_t>(index * 2654435761u) ^ static_cast<std::uint32_t>(note.beat * 64.0);
}

}  // namespace

double samplesPerBeat() { return kSampleRate * 60.0 / kBeatsPerMinute; }

StereoTrack renderBars(const Score& score, int firstBar, int endBar, const Progress& progress) {
    const double startSample = firstBar * kBeatsPerBar * samplesPerBeat();
    const auto frames = static_cast<std::size_t>((endBar - firstBar) * kBeatsPerBar * samplesPerBeat());
    StereoTrack track{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
    std::vector<float> delaySend(frames, 0.0f), reverbSend(frames, 0.0f);

    const double firstBeat = static_cast<double>(firstBar) * kBeatsPerBar;
    const double endBeat = static_cast<double>(endBar) * kBeatsPerBar;
    for (std::size_t n = 0; n < score.notes.size(); ++n) {
        const ScoreNote& note = score.notes[n];
        if (progress && n % 256 == 0) progress(0.9 * static_cast<double>(n) / score.notes.size());
        if (note.beat < firstBeat || note.beat >= endBeat) continue;

        const NoteParams params{note.midi, static_cast<float>(note.beats * samplesPerBeat() / kSampleRate),
                                note.velocity, note.brightness, seedOf(note, n)};
        const StereoBlock block = renderNote(note.instrument, params);
        ChannelStrip strip = stripOf(note.instrument);
        if (note.instrument == Instrument::Arp)  // alternate sixteenths left and right
            strip.pan = (static_cast<long>(std::lround(note.beat * 4)) % 2) ? 0.35f : -0.35f;
        const float angle = (strip.pan + 1.0f) * kPi / 4.0f;
        const float panLeft = std::cos(angle) * std::sqrt(2.0f), panRight = std::sin(angle) * std::sqrt(2.0f);

        const double noteSample = note.beat * samplesPerBeat();
        const auto offset = static_cast<std::size_t>(std::lround(noteSample - startSample));
        for (std::size_t i = 0; i < block.left.size() && offset + i < frames; ++i) {
            const float gain = strip.gain * duckGain(score, noteSample + i, strip.duck);
            const float l = block.left[i] * gain * panLeft, r = block.right[i] * gain * panRight;
            track.left[offset + i] += l;
            track.right[offset + i] += r;
            const float mono = 0.5f * (l + r);
            delaySend[offset + i] += mono * strip.delaySend;
            reverbSend[offset + i] += mono * strip.reverbSend;
        }
    }

    if (progress) progress(0.9);
    // Dotted eighths: three sixteenths between the echoes.
    const auto delay = static_cast<std::size_t>(std::lround(0.75 * samplesPerBeat()));
    std::vector<float> echoes(frames, 0.0f), echoesRight(frames, 0.0f);
    addPingPongDelay(delaySend, delay, 0.42f, echoes, echoesRight);
    for (std::size_t i = 0; i < frames; ++i) {
        track.left[i] += echoes[i];
        track.right[i] += echoesRight[i];
        reverbSend[i] += 0.25f * (echoes[i] + echoesRight[i]);
    }
    addReverb(reverbSend, 0.86f, 0.3f, track.left, track.right);
    if (progress) progress(0.97);
    return track;
}

void master(const Score& score, StereoTrack& track, float peak) {
    // The fade-out, an equal-power curve to silence.
    const double fadeStart = score.fadeOutStartBeat * samplesPerBeat();
    const double fadeEnd = score.fadeOutEndBeat * samplesPerBeat();
    if (fadeEnd > fadeStart) {
        for (std::size_t i = 0; i < track.frames(); ++i) {
            const double x = (static_cast<double>(i) - fadeStart) / (fadeEnd - fadeStart);
            if (x <= 0.0) continue;
            const float gain = x >= 1.0 ? 0.0f : static_cast<float>(std::cos(x * kPi / 2.0));
            track.left[i] *= gain;
            track.right[i] *= gain;
        }
    }

    float highest = 0.0f;
    for (std::size_t i = 0; i < track.frames(); ++i)
        highest = std::max({highest, std::fabs(track.left[i]), std::fabs(track.right[i])});
    if (highest <= 0.0f) return;

    // Drive the loudest peaks into a soft knee above 0.6, then scale so that
    // the highest sample lands exactly on `peak`.
    constexpr float kKnee = 0.6f, kDrive = 1.7f;
    const auto limit = [](float x) {
        const float a = std::fabs(x);
        if (a <= kKnee) return x;
        const float shaped = kKnee + (1.0f - kKnee) * std::tanh((a - kKnee) / (1.0f - kKnee));
        return x < 0 ? -shaped : shaped;
    };
    const float drive = kDrive / highest;
    float limitedPeak = 0.0f;
    for (std::size_t i = 0; i < track.frames(); ++i) {
        track.left[i] = limit(track.left[i] * drive);
        track.right[i] = limit(track.right[i] * drive);
        limitedPeak = std::max({limitedPeak, std::fabs(track.left[i]), std::fabs(track.right[i])});
    }
    const float scale = peak / limitedPeak;
    for (std::size_t i = 0; i < track.frames(); ++i) {
        track.left[i] *= scale;
        track.right[i] *= scale;
    }
}

}  // namespace vantor::synth
