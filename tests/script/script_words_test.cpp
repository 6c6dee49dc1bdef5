// The header's DEMOEND and the grid names BARn and BEATn: what they give, what
// a script's own DEFINE does to them, and the message each bad value gets.
#include "runtime/demo_end.h"
#include "tests/script/script_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

TEST(ScriptDemoEnd, EndsTheShowAtItsTimeExpression) {
    auto script = parseScript("DEMOSTART 1000\nDEMOEND 30000 + 500\nSETUP TIMELINE 100 START 1 LINETIME");
    EXPECT_EQ(script->demoEnd(), 30500);
    EXPECT_EQ(script->demoEndLine(), 2);
    // DEMOEND wins over any soundtrack; without it a shorter soundtrack ends the show.
    EXPECT_EQ(script->endTime(12000), 30500);
    EXPECT_EQ(script->endTime(0), 30500);
    auto plain = parseScript(kExample);
    EXPECT_EQ(plain->demoEnd(), 0);
    EXPECT_EQ(plain->endTime(0), kDemoEndTime);
    EXPECT_EQ(plain->endTime(241946), kDemoEndTime);
    EXPECT_EQ(plain->endTime(12000), 12000);

    // A later DEMOEND overrides an earlier one, as DEMOSTART does; a mark
    // cannot take its name.
    auto later = parseScript("DEMOEND 5000 DEMOEND 6000 MARK DEMOEND 7000 SETUP");
    EXPECT_EQ(later->demoEnd(), 7000);
    EXPECT_TRUE(later->timing().marks.empty());
}

TEST(ScriptDemoEnd, ValuesOutsideTheShowAreErrorsOnTheirLine) {
    const std::string outside = "script: DEMOEND needs a time of the show, from 1 to 240000 ms";
    const std::string before = "script: DEMOEND must come after DEMOSTART (the show would end before it begins)";
    struct Case {
        const char* header;
        std::string message;
        int line;
    };
    for (const Case& c :
         {Case{"\nDEMOEND 0\n", outside, 2}, Case{"DEMOEND -5000\n", outside, 1}, Case{"DEMOEND 240001\n", outside, 1},
          Case{"DEMOEND 200000 + 50000\n", outside, 1}, Case{"DEMOEND abc\n", outside, 1},
          Case{"DEMOEND\n", outside, 1}, Case{"DEMOEND 5000\nDEMOSTART 8000\n", before, 1},
          Case{"DEMOSTART 8000\n\nDEMOEND 8000\n", before, 3}}) {
        SCOPED_TRACE(c.header);
        const ScriptReadResult result =
            Script::parseText(std::string(c.header) + "SETUP TIMELINE 100 START 1 LINETIME");
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->text(), c.message);
        EXPECT_EQ(result.error->line, c.line);
        EXPECT_EQ(scriptError(std::string(c.header) + "SETUP"), c.message) << "the demo ends on it";
    }
    EXPECT_EQ(parseScript("DEMOEND 240000 SETUP")->demoEnd(), 240000);
}

std::vector<std::int32_t> times(const Script& script) {
    std::vector<std::int32_t> out;
    for (const ScriptEvent& e : script.timelineEvents()) out.push_back(e.time);
    return out;
}

std::vector<std::string> warningsOf(const ScriptReadResult& result) {
    std::vector<std::string> out;
    for (const ScriptDiagnostic& w : result.warnings) out.push_back(std::to_string(w.line) + " " + w.text());
    return out;
}

// BARn and BEATn are n bars and n beats from music time 0, each rounded to
// the ms from the exact grid, in the timeline's, the marks' and DEMOEND's
// time expressions, with BPM and BEATS wherever they stand in the header.
TEST(ScriptGridNames, NameTheRoundedExactGrid) {
    auto script = parseScript(
        "MARK drop BAR16\n"
        "DEMOEND BAR32 + BEAT1\n"
        "BPM 128\n"
        "SETUP TIMELINE\n"
        "BAR9 START 1\n"
        "BAR8 + BEAT2 START 1\n"
        "BEAT1 START 1\n"
        "BEAT3 + BEAT3 START 1\n"
        "BAR999999999 START 1\n"
        "LINETIME\n");
    // A beat at 128 bpm is 468.75 ms, a bar 1875 ms.
    EXPECT_EQ(times(*script), (std::vector<std::int32_t>{16875, 15938, 469, 2812, 2147483647}));
    ASSERT_EQ(script->timing().marks.size(), 1u);
    EXPECT_EQ(script->timing().marks[0].time, 30000);
    EXPECT_EQ(script->demoEnd(), 60469);

    // Three beats a bar; a fraction of a beat a minute.
    auto waltz = parseScript("BPM 127.5 BEATS 3 SETUP TIMELINE BAR1 START 1 BEAT7 START 1 LINETIME");
    EXPECT_EQ(times(*waltz), (std::vector<std::int32_t>{1412, 3294}));  // 1411.76..., 3294.11...
    // BEATS alone is not a grid: a script without BPM has no grid names.
    const ScriptReadResult noTempo = Script::parseText("BEATS 3 SETUP TIMELINE 100 START 1 BAR2 + 5 START 1 LINETIME");
    ASSERT_TRUE(noTempo.script);
    EXPECT_EQ(times(*noTempo.script), (std::vector<std::int32_t>{100, 5}));
    EXPECT_EQ(warningsOf(noTempo),
              std::vector<std::string>{
                  "1 script: `BAR2` names a time of the grid, but the script has no BPM: it reads as 0"});
    // DEMOEND on a grid name past the show is refused like any other time.
    EXPECT_EQ(scriptError("BPM 120 DEMOEND BAR999999999 SETUP"),
              "script: DEMOEND needs a time of the show, from 1 to 240000 ms");
}

// A timeline SIGNAL's value that is a grid name is the integer of its time
// (a fade's CLEAR_AT, a glide's GLIDE_FROM); without BPM, and in the setup
// (whose values are pictures' names), the word stays text.
TEST(ScriptGridNames, AGridNameAsASignalsValueIsItsTime) {
    auto script = parseScript(
        "BPM 128 SETUP 0 SIGNAL 0 110 BAR2 TIMELINE\n"
        "1 SIGNAL 31 3 BAR2\n"
        "1 SIGNAL 31 4 BEAT3\n"
        "1 SIGNAL 0 110 BAR2.pcx\n"
        "LINETIME\n");
    ASSERT_EQ(script->timelineEvents().size(), 3u);
    const auto& events = script->timelineEvents();
    EXPECT_FALSE(events[0].value.isString);
    EXPECT_EQ(events[0].value.intValue, 3750);
    EXPECT_EQ(events[1].value.intValue, 1406);  // 1406.25
    EXPECT_EQ(events[0].written.value, "BAR2");
    EXPECT_TRUE(events[2].value.isString);
    EXPECT_TRUE(script->setupEvents()[0].value.isString);
    auto noTempo = parseScript("SETUP TIMELINE 1 SIGNAL 31 3 BAR2 LINETIME");
    EXPECT_TRUE(noTempo->timelineEvents()[0].value.isString);
}

// The shipped show defines its own BARn: a script's DEFINE is substituted
// before any grid name is read, so it wins; a DEFINE may also name a grid
// time. A grid name made text by a DEFINE is warned about on the DEFINE's line.
TEST(ScriptGridNames, AScriptsOwnDefinesWin) {
    const ScriptReadResult result = Script::parseText(
        "DEFINE BAR9 17000\n"
        "DEFINE DROP BAR4\n"
        "DEFINE BAR4 intro\n"
        "BPM 120\n"
        "SETUP TIMELINE\n"
        "BAR9 START 1\n"
        "DROP START 1\n"
        "BAR5 + BAR4 START 1\n"
        "LINETIME\n");
    ASSERT_TRUE(result.script);
    // DROP becomes BAR4 (not substituted again): the grid's 8000.
    EXPECT_EQ(times(*result.script), (std::vector<std::int32_t>{17000, 8000, 10000}));
    EXPECT_EQ(warningsOf(result),
              (std::vector<std::string>{"3 script: DEFINE BAR4 intro: `BAR4` names a time of the grid, and this makes "
                                        "it the text `intro`, which reads as 0 in a time",
                                        "8 script: `intro` is not a number or a name: it reads as 0"}));
}

// Tempo and bar values that do not fit are warnings naming the word; the
// grid keeps its defaults and nothing else changes.
TEST(ScriptGridNames, BadTemposAndCountsAreWarningsNamingTheWord) {
    const ScriptReadResult result = Script::parseText(
        "BPM 0\nBPM -3\nBPM abc\nBEATS 99999999999\nBPM\nSETUP TIMELINE 100 + BAR1 START 1 LINETIME\n");
    ASSERT_TRUE(result.script);
    EXPECT_EQ(warningsOf(result),
              (std::vector<std::string>{"1 script: `0` is not a tempo: BPM needs 20 to 999 beats a minute",
                                        "2 script: `-3` is not a tempo: BPM needs 20 to 999 beats a minute",
                                        "3 script: `abc` is not a tempo: BPM needs 20 to 999 beats a minute",
                                        "4 script: `99999999999` is not a count: BEATS needs 1 to 64 beats a bar",
                                        "5 script: `SETUP` is not a tempo: BPM needs 20 to 999 beats a minute",
                                        "6 script: `BAR1` names a time of the grid, but the script has no BPM: it "
                                        "reads as 0"}));
    EXPECT_EQ(result.script->timing().beatsPerBar, 4);
}

}  // namespace
}  // namespace vantor::test
