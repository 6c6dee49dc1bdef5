// The demo's own timeline script: it parses within the reader's capacities,
// stays in time order within the music, shows every effect of the start-up,
// cuts on bars and flashes on beats of the soundtrack, and ends in a fade.
#include "app/fatal_error.h"
#include "app/script.h"
#include "content/soundtrack/score.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace vantor::test {
namespace {

constexpr int kEnd = 240000;
constexpr int kFadeId = 31;
constexpr int kFlashId = 30;
constexpr int kSourceCode = 70;      // capture overlays, the wipe and the visor: the effect they draw
constexpr int kWipeTargetCode = 71;  // the wipe: the layer it wipes away
constexpr int kWipeId = 12;

class ShippedScript : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string text = readFile(VANTOR_CONTENT_DIR "/script/script.scr");
        ASSERT_FALSE(text.empty());
        script = Script::fromText(text);
    }
    ScopedFatalErrorCapture capture;
    std::unique_ptr<Script> script;
};

TEST_F(ShippedScript, ParsesWithinCapacityInTimeOrder) {
    EXPECT_EQ(script->demoStart(), 0);
    const auto& events = script->timelineEvents();
    ASSERT_GT(events.size(), 100u);
    EXPECT_LT(events.size(), 1000u) << "the reader drops timeline events past 1000";
    int previous = 1;
    for (const ScriptEvent& event : events) {
        EXPECT_GE(event.time, previous) << "entries out of time order at " << event.time;
        EXPECT_LE(event.time, kEnd);
        EXPECT_TRUE(event.effectId >= 0 && event.effectId < 32) << event.effectId;
        previous = event.time;
    }
}

// Every id the start-up registers is shown: started, or drawn by an effect
// that is started while it names it as its source or its outgoing layer.
TEST_F(ShippedScript, ShowsEveryEffectOfTheStartUp) {
    std::set<int> started, drawnByOthers;
    for (const ScriptEvent& event : script->timelineEvents()) {
        if (event.kind == ScriptEvent::Start) started.insert(event.effectId);
        const bool names = event.kind == ScriptEvent::Signal && !event.value.isString &&
                           (event.value.code == kSourceCode ||
                            (event.effectId == kWipeId && event.value.code == kWipeTargetCode));
        if (names) drawnByOthers.insert(event.value.intValue);
    }
    const std::set<int> empty = {3, 4, 8, 11, 27};
    for (int id = 0; id < 32; ++id) {
        if (empty.count(id)) continue;
        const bool startsItself = id == kFlashId;  // a flash signal sets it running
        EXPECT_TRUE(started.count(id) || drawnByOthers.count(id) || startsItself) << "effect " << id << " never shows";
    }
}

// Cuts (effects starting) fall on bars, flashes on beats, most of them on the
// kick; the first picture shows in the first bar.
TEST_F(ShippedScript, CutsOnBarsAndFlashesOnBeats) {
    const synth::Score score = synth::composeSoundtrack();
    const int beatMs = static_cast<int>(60000.0 / synth::kBeatsPerMinute);
    const int barMs = 4 * beatMs;
    std::set<long> kickBeats;
    for (const auto& note : score.notes)
        if (note.instrument == synth::Instrument::Kick) kickBeats.insert(static_cast<long>(note.beat));

    int firstStart = kEnd, flashes = 0, flashesOnKicks = 0;
    for (const ScriptEvent& event : script->timelineEvents()) {
        if (event.kind == ScriptEvent::Start) {
            firstStart = std::min(firstStart, event.time);
            if (event.time > 1) {
                EXPECT_EQ(event.time % barMs, 0) << "a cut off the bar at " << event.time;
            }
        }
        if (event.effectId == kFlashId && event.kind == ScriptEvent::Signal) {
            ++flashes;
            EXPECT_EQ(event.time % beatMs, 0) << "flash off the beat at " << event.time;
            if (kickBeats.count(event.time / beatMs)) ++flashesOnKicks;
        }
    }
    EXPECT_LT(firstStart, barMs);
    EXPECT_GT(flashes, 30);
    EXPECT_GE(flashesOnKicks * 10, flashes * 8) << flashesOnKicks << " of " << flashes << " flashes on a kick";
}

// The header's grid is the soundtrack's, and its marks fall on the first bars
// of the score's sections, in order.
TEST_F(ShippedScript, TimingWordsFollowTheScore) {
    const ScriptTiming& timing = script->timing();
    EXPECT_EQ(timing.bpm, synth::kBeatsPerMinute);
    EXPECT_EQ(timing.beatsPerBar, synth::kBeatsPerBar);
    const int barMs = static_cast<int>(timing.barMs());
    const std::vector<int> sectionBars = {0, 16, 24, 28, 32, 64, 76, 80, 112};
    ASSERT_EQ(timing.marks.size(), sectionBars.size());
    for (std::size_t i = 0; i < sectionBars.size(); ++i)
        EXPECT_EQ(timing.marks[i].time, sectionBars[i] * barMs) << timing.marks[i].name;
}

// The last fade reaches its full colour (black) exactly at the end.
TEST_F(ShippedScript, EndsInAFadeToBlackAtTheEnd) {
    std::map<int, int> colour;
    int fadeEnd = 0, fadeStartedAt = -1;
    for (const ScriptEvent& event : script->timelineEvents()) {
        if (event.effectId != kFadeId) continue;
        if (event.kind == ScriptEvent::Signal && event.value.code >= 115 && event.value.code <= 117)
            colour[event.value.code] = event.value.intValue;
        if (event.kind == ScriptEvent::Signal && event.value.code == 4) fadeEnd = event.value.intValue;
        if (event.kind == ScriptEvent::Start) fadeStartedAt = event.time;
        if (event.kind == ScriptEvent::End) fadeStartedAt = -1;
    }
    EXPECT_EQ(fadeEnd, kEnd);
    EXPECT_GT(fadeStartedAt, 0) << "the last fade must still run at the end";
    EXPECT_EQ(colour[115] + colour[116] + colour[117], 0);
}

}  // namespace
}  // namespace vantor::test
