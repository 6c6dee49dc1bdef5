// The soundtrack generator: the score's shape, the instruments, the mix and
// master levels, and the WAV file it writes.
#include "content/soundtrack/instruments.h"
#include "content/soundtrack/mixer.h"
#include "content/soundtrack/score.h"
#include "content/soundtrack/synth_dsp.h"
#include "content/soundtrack/wav_writer.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace vantor::test {
namespace {

using namespace vantor::synth;

double rms(const std::vector<float>& samples, std::size_t first = 0, std::size_t end = SIZE_MAX) {
    end = std::min(end, samples.size());
    double sum = 0.0;
    for (std::size_t i = first; i < end; ++i) sum += samples[i] * samples[i];
    return end > first ? std::sqrt(sum / (end - first)) : 0.0;
}

bool allFinite(const std::vector<float>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](float x) { return std::isfinite(x); });
}

TEST(SoundtrackScore, CoversFourMinutesWithSectionsOnTheBarGrid) {
    const Score score = composeSoundtrack();
    const double barMs = kBeatsPerBar * 60000.0 / kBeatsPerMinute;
    EXPECT_DOUBLE_EQ(barMs, 1920.0);
    EXPECT_GE(score.bars * barMs, 240000.0);
    ASSERT_EQ(score.kickInBar.size(), static_cast<std::size_t>(score.bars));

    int kicksInDrops = 0, kicksElsewhere = 0;
    for (const ScoreNote& note : score.notes) {
        ASSERT_GE(note.beat, 0.0);
        ASSERT_LT(note.beat, score.bars * kBeatsPerBar);
        ASSERT_GE(note.beats, 0.0);
        if (note.instrument != Instrument::Kick) continue;
        const int bar = static_cast<int>(note.beat / kBeatsPerBar);
        EXPECT_TRUE(score.kickInBar[bar]);
        EXPECT_DOUBLE_EQ(note.beat, std::floor(note.beat));  // four on the floor
        ((bar >= 32 && bar < 64) || (bar >= 80 && bar < 112) ? kicksInDrops : kicksElsewhere)++;
    }
    EXPECT_EQ(kicksInDrops, 64 * kBeatsPerBar);
    // No kick in the intro, the first half of the breakdown or the last bars.
    for (int bar : {0, 15, 64, 71, 120, 125}) EXPECT_FALSE(score.kickInBar[bar]) << bar;
    // The fade-out is complete when the demo ends at 240000 ms.
    EXPECT_LE(score.fadeOutEndBeat * 60000.0 / kBeatsPerMinute, 240000.0);
}

TEST(SoundtrackScore, EveryPitchedNoteIsInAMinor) {
    const std::set<int> scale = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int pitched = 0;
    for (const ScoreNote& note : composeSoundtrack().notes) {
        if (note.instrument != Instrument::Lead && note.instrument != Instrument::Pad &&
            note.instrument != Instrument::Bass && note.instrument != Instrument::Arp)
            continue;
        ++pitched;
        EXPECT_EQ(note.midi, std::floor(note.midi));
        EXPECT_TRUE(scale.count(static_cast<int>(note.midi) % 12)) << "note " << note.midi << " at beat " << note.beat;
        EXPECT_GE(note.midi, 24.0f);
        EXPECT_LE(note.midi, 96.0f);
    }
    EXPECT_GT(pitched, 1000);
}

TEST(SoundtrackInstruments, RenderFiniteAudibleNotesOfTheRightLength) {
    const Instrument all[] = {Instrument::Kick,  Instrument::Snare, Instrument::ClosedHat, Instrument::OpenHat,
                              Instrument::Crash, Instrument::Bass,  Instrument::Pad,       Instrument::Lead,
                              Instrument::Arp,   Instrument::Riser};
    for (Instrument instrument : all) {
        const StereoBlock block = renderNote(instrument, NoteParams{60.0f, 0.5f, 1.0f, 0.5f, 7});
        ASSERT_EQ(block.left.size(), block.right.size());
        ASSERT_GT(block.left.size(), 1000u);
        EXPECT_TRUE(allFinite(block.left) && allFinite(block.right));
        EXPECT_GT(rms(block.left) + rms(block.right), 0.01) << static_cast<int>(instrument);
        // Notes fade out instead of ending with a click.
        EXPECT_LT(std::fabs(block.left.back()), 0.01f) << static_cast<int>(instrument);
    }
    // Held notes last as long as they are held plus their release.
    EXPECT_GT(renderNote(Instrument::Pad, NoteParams{60, 2.0f, 1, 0.5f, 1}).left.size(), 2u * kSampleRate);
}

TEST(SoundtrackInstruments, BassPlaysTheRequestedPitch) {
    // A dark bass note on A1 is nearly a sine at 55 Hz: count rising zero crossings.
    const StereoBlock block = renderNote(Instrument::Bass, NoteParams{33.0f, 1.0f, 1.0f, 0.0f, 1});
    int crossings = 0;
    const std::size_t from = kSampleRate / 5, to = from + kSampleRate / 2;
    for (std::size_t i = from + 1; i < to; ++i)
        if (block.left[i - 1] < 0.0f && block.left[i] >= 0.0f) ++crossings;
    EXPECT_NEAR(crossings * 2.0, 55.0, 4.0);
}

TEST(SoundtrackMix, ExcerptsAreDeterministicAndTheDropIsLouderThanTheIntro) {
    const Score score = composeSoundtrack();
    const StereoTrack intro = renderBars(score, 0, 2);
    const StereoTrack drop = renderBars(score, 32, 34);
    const StereoTrack dropAgain = renderBars(score, 32, 34);
    const auto framesOf2Bars = static_cast<std::size_t>(2 * kBeatsPerBar * samplesPerBeat());
    ASSERT_EQ(drop.frames(), framesOf2Bars);
    EXPECT_EQ(drop.left, dropAgain.left);
    EXPECT_EQ(drop.right, dropAgain.right);
    EXPECT_TRUE(allFinite(drop.left) && allFinite(drop.right));
    EXPECT_GT(rms(drop.left), 4.0 * rms(intro.left));
    EXPECT_GT(rms(intro.left), 0.0);
    EXPECT_NE(drop.left, drop.right);  // a stereo mix
}

TEST(SoundtrackMix, MasterLevelsPeaksBelowFullScaleAndFadesOut) {
    Score score;
    score.fadeOutStartBeat = 2.0;
    score.fadeOutEndBeat = 3.0;
    const auto beat = static_cast<std::size_t>(samplesPerBeat());
    StereoTrack track{std::vector<float>(4 * beat), std::vector<float>(4 * beat)};
    for (std::size_t i = 0; i < track.frames(); ++i) {
        track.left[i] = 3.0f * std::sin(0.01f * i);
        track.right[i] = (i == beat) ? -7.0f : 0.5f * std::sin(0.02f * i);
    }
    master(score, track, 0.89f);
    float highest = 0.0f;
    for (std::size_t i = 0; i < track.frames(); ++i)
        highest = std::max({highest, std::fabs(track.left[i]), std::fabs(track.right[i])});
    EXPECT_FLOAT_EQ(highest, 0.89f);
    EXPECT_FLOAT_EQ(track.right[beat], -0.89f);
    EXPECT_GT(rms(track.left, 0, beat), 0.1);  // the soft knee keeps the quiet part audible
    EXPECT_EQ(rms(track.left, 3 * beat), 0.0);
    EXPECT_LT(rms(track.left, 2 * beat + beat / 2, 3 * beat), rms(track.left, 0, beat));
}

TEST(SoundtrackWav, WritesA16BitStereoFile) {
    TempDir dir;
    StereoTrack track{{0.0f, 1.0f, -1.0f, 2.0f}, {0.5f, -0.5f, 0.0f, -3.0f}};
    std::string error;
    ASSERT_TRUE(writeWav(dir.file("t.wav"), track, 44100, &error)) << error;
    const std::string bytes = readFile(dir.file("t.wav"));
    ASSERT_EQ(bytes.size(), 44u + 16u);
    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                 << 8);
    };
    const auto s16 = [&](std::size_t at) { return static_cast<int>(static_cast<std::int16_t>(u16(at))); };
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(u16(4), 36u + 16u);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(u16(22), 2u);
    EXPECT_EQ(u16(24) | u16(26) << 16, 44100u);
    EXPECT_EQ(u16(34), 16u);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    EXPECT_EQ(u16(40), 16u);
    EXPECT_NEAR(s16(44), 0, 1);
    EXPECT_NEAR(s16(46), 16384, 1);
    EXPECT_NEAR(s16(48), 32767, 1);
    EXPECT_NEAR(s16(52), -32767, 1);
    EXPECT_NEAR(s16(56), 32767, 1);   // clamped
    EXPECT_NEAR(s16(58), -32767, 1);  // clamped

    EXPECT_FALSE(writeWav(dir.file("no/such/dir/t.wav"), track, 44100, &error));
    EXPECT_NE(error.find("t.wav"), std::string::npos);
}

}  // namespace
}  // namespace vantor::test
