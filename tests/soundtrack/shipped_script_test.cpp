// The demo's own timeline script parses, stays in time order within the
// music, and puts its flashes on beats of the soundtrack.
#include "app/fatal_error.h"
#include "app/script.h"
#include "content/soundtrack/score.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>

namespace vantor::test {
namespace {

TEST(ShippedScript, ParsesInTimeOrderAndFlashesOnTheBeat) {
    ScopedFatalErrorCapture capture;
    const std::string text = readFile(VANTOR_CONTENT_DIR "/script/script.scr");
    ASSERT_FALSE(text.empty());
    const auto script = Script::fromText(text);
    EXPECT_EQ(script->demoStart(), 0);
    ASSERT_GT(script->timelineEvents().size(), 50u);

    const synth::Score score = synth::composeSoundtrack();
    const double beatMs = 60000.0 / synth::kBeatsPerMinute;
    std::set<long> kickBeats;
    for (const auto& note : score.notes)
        if (note.instrument == synth::Instrument::Kick) kickBeats.insert(static_cast<long>(note.beat));

    int previous = 0, flashesOnKicks = 0;
    for (const ScriptEvent& event : script->timelineEvents()) {
        EXPECT_GE(event.time, previous) << "entries out of time order at " << event.time;
        EXPECT_LE(event.time, 240000);
        EXPECT_TRUE(event.effectId == 29 || event.effectId == 30 || event.effectId == 31) << event.effectId;
        previous = event.time;
        if (event.effectId == 30 && event.kind == ScriptEvent::Signal) {
            EXPECT_EQ(event.time % static_cast<int>(beatMs), 0) << "flash off the beat at " << event.time;
            if (kickBeats.count(static_cast<long>(event.time / beatMs))) ++flashesOnKicks;
        }
    }
    EXPECT_GE(flashesOnKicks, 64);  // every downbeat of both drops
}

}  // namespace
}  // namespace vantor::test
