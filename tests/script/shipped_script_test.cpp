// The demo's own timeline script: it parses within the reader's capacities,
// stays in time order within the music, shows every effect of the start-up,
// cuts on bars and flashes on beats of the soundtrack, and ends in a fade.
#include "app/effect_protocol.h"
#include "runtime/fatal_error.h"
#include "runtime/demo_end.h"
#include "runtime/script.h"
#include "effects/fade_effect.h"
#include "content/soundtrack/score.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace vantor::test {
namespace {

constexpr int kFadeId = 31;
constexpr int kFlashId = 30;

class ShippedScript : public ::testing::Test {
protected:
    void SetUp() override {
        text = readFile(VANTOR_CONTENT_DIR "/script/script.scr");
        ASSERT_FALSE(text.empty());
        script = Script::fromText(text);
    }
    ScopedFatalErrorCapture capture;
    std::string text;
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
        EXPECT_LE(event.time, kDemoEndTime);
        EXPECT_TRUE(event.effectId >= 0 && event.effectId < 32) << event.effectId;
        previous = event.time;
    }
}

// Every id the start-up registers is shown: started, or drawn by an effect
// that is started while it names it as one it draws (its source, its
// outgoing layer).
TEST_F(ShippedScript, ShowsEveryEffectOfTheStartUp) {
    std::set<int> started, drawnByOthers;
    for (const ScriptEvent& event : script->timelineEvents()) {
        if (event.kind == ScriptEvent::Start) started.insert(event.effectId);
        const EffectProtocol* effect = findEffectProtocol(event.effectId);
        const SignalCodeInfo* code = effect ? effect->findCode(event.value.code) : nullptr;
        if (event.kind == ScriptEvent::Signal && !event.value.isString && code && code->link != EffectLink::None)
            drawnByOthers.insert(event.value.intValue);
    }
    for (const EffectProtocol& effect : effectProtocols()) {
        const bool startsItself = effect.id == kFlashId;  // a flash signal sets it running
        EXPECT_TRUE(started.count(effect.id) || drawnByOthers.count(effect.id) || startsItself)
            << "effect " << effect.id << " never shows";
    }
}

// The show's DEFINEs name effects and codes as the protocol table does: a
// SIGNAL whose code is written as a DEFINE reaches a code of that name in
// its effect, and a DEFINE spelled like a code of the table has that code's
// number wherever the table uses the name.
TEST_F(ShippedScript, DefinesNameTheCodesOfTheProtocolTable) {
    std::map<std::string, std::string> defines;
    for (const auto& d : script->defines()) defines.emplace(d.name, d.replacement);
    const auto resolve = [&](const std::string& word) {
        const auto it = defines.find(word);
        return it == defines.end() ? word : it->second;
    };

    int namedCodes = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream in(line);
        std::vector<std::string> words{std::istream_iterator<std::string>(in), {}};
        if (words.empty() || words[0] == "DEFINE" || words[0].rfind("//", 0) == 0) continue;
        const auto signal = std::find(words.begin(), words.end(), "SIGNAL");
        if (signal == words.end() || words.end() - signal < 4) continue;
        SCOPED_TRACE(line);
        const EffectProtocol* effect = findEffectProtocol(std::stoi(resolve(signal[1]), nullptr, 0));
        ASSERT_NE(effect, nullptr) << signal[1] << " is not a registered effect";
        const std::string codeWord = signal[2];
        const SignalCodeInfo* code = effect->findCode(std::stoi(resolve(codeWord), nullptr, 0));
        ASSERT_NE(code, nullptr) << effect->className << " takes no code " << codeWord;
        if (defines.count(codeWord)) {
            EXPECT_EQ(code->name, codeWord) << effect->className;
            ++namedCodes;
        }
    }
    EXPECT_GT(namedCodes, 100);

    for (const auto& [name, replacement] : defines)
        for (const EffectProtocol& effect : effectProtocols())
            for (const SignalCodeInfo& code : effect.codes)
                if (name == code.name) {
                    EXPECT_EQ(std::stoi(replacement), code.code) << name << " in " << effect.className;
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

    int firstStart = kDemoEndTime, flashes = 0, flashesOnKicks = 0;
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
        if (event.kind == ScriptEvent::Signal && event.value.code >= FadeEffect::RED &&
            event.value.code <= FadeEffect::BLUE)
            colour[event.value.code] = event.value.intValue;
        if (event.kind == ScriptEvent::Signal && event.value.code == FadeEffect::COLOUR_AT)
            fadeEnd = event.value.intValue;
        if (event.kind == ScriptEvent::Start) fadeStartedAt = event.time;
        if (event.kind == ScriptEvent::End) fadeStartedAt = -1;
    }
    EXPECT_EQ(fadeEnd, kDemoEndTime);
    EXPECT_GT(fadeStartedAt, 0) << "the last fade must still run at the end";
    EXPECT_EQ(colour[FadeEffect::RED] + colour[FadeEffect::GREEN] + colour[FadeEffect::BLUE], 0);
}

}  // namespace
}  // namespace vantor::test
