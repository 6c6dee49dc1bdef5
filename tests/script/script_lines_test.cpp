// Lines of the file on every script entry and message, the reader's results
// for author tools, and the optional timing words of the header.
#include "libs/ppd/ppd.h"
#include "tests/script/script_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::test {
namespace {

std::vector<int> lines(const std::vector<ScriptEvent>& events) {
    std::vector<int> out;
    for (const ScriptEvent& e : events) out.push_back(e.line);
    return out;
}

TEST(ScriptLines, EveryEntryKeepsTheLineOfTheFile) {
    const char* text =
        "// a comment line\n"          // 1
        "DEFINE LOGO 22 // words\n"    // 2: the comment after a DEFINE vanishes
        "\r\n"                         // 3
        "DEMOSTART 0x10\n"             // 4
        "SETUP\n"                      // 5
        "0 SIGNAL 1 110 kake2.jpg\n"   // 6
        "\n"                           // 7
        "0 SIGNAL\n"                   // 8: an entry over two lines counts from its first word
        "  LOGO 110 b.jpg TIMELINE\n"  // 9
        "100 START 1\n"                // 10
        "DEFINE GO START 200 END 1\n"  // 11: an entry after a DEFINE on its line
        "4000 +\n"                     // 12
        "2000 SIGNAL LOGO 90 2\n"      // 13
        "LINETIME\n";
    const ScriptReadResult result = Script::parseText(text);
    ASSERT_TRUE(result.script);
    EXPECT_FALSE(result.error);
    const Script& script = *result.script;
    EXPECT_EQ(lines(script.setupEvents()), (std::vector<int>{6, 8}));
    EXPECT_EQ(lines(script.timelineEvents()), (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(script.timelineEvents()[2].time, 6000);
    EXPECT_EQ(script.demoStart(), 16);
    EXPECT_EQ(script.demoStartLine(), 4);
    ASSERT_EQ(script.defines().size(), 2u);
    EXPECT_EQ(script.defines()[0].line, 2);
    EXPECT_EQ(script.defines()[1].name, "GO");
    EXPECT_EQ(script.defines()[1].line, 11);
}

TEST(ScriptLines, ErrorsCarryTheReadersTextAndTheLineOfTheFile) {
    struct Case {
        const char* text;
        int line;
        const char* message;
    };
    const Case cases[] = {
        {"SETUP\n0 SIGNAL 1 2 a\n\n5 SIGNAL 1 2 c\n", 4, "script: not a valid time (should be 0) in setup line # 2"},
        {"SETUP\n0\nSTART 1\n", 3, "script: event not recognized in setup line # 1"},
        {"SETUP\n0 SIGNAL 1 2 0\n", 2, "this is probably wrong, adding integer event in setup  1"},
        {"SETUP TIMELINE\n// c\n100 START 1\n\n200 STOP 1\n", 5, "script: event not recognized in timeline line # 2"},
        {"SETUP TIMELINE\n100 START 1\n100 START 1 // not a comment\n", 3,
         "script: not a valid(1-maxtime) time in timeline line # 3"},
        {"SETUP TIMELINE\n100 SIGNAL 1 2\n\n", 2, "script: value missing in timeline line # 1"},
        {"DEFINE X y\nSETUP TIMELINE\n100 START\nX\n", 4, "script: not a valid number in timeline line # 1"},
        {"\n\nDEMOSTART soon SETUP", 3, "script: not a valid DEMOSTART value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const ScriptReadResult result = Script::parseText(c.text);
        EXPECT_FALSE(result.script);
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->line, c.line);
        EXPECT_EQ(result.error->text(), c.message);
        // The demo's path ends with the same text, unchanged.
        EXPECT_EQ(scriptError(c.text), c.message);
    }
    const ScriptDiagnostic error = *Script::parseText("SETUP\n\n0 START 1\n").error;
    EXPECT_EQ(error.located("data/script.scr"),
              "data/script.scr:3: script: event not recognized in setup line # 1 at `START`");
    EXPECT_EQ(error.located("s.scr", "error"),
              "s.scr:3: error: script: event not recognized in setup line # 1 at `START`");
}

TEST(ScriptLines, AnUnreadableFileIsAnErrorWithoutALine) {
    ppd_clear_archive();
    TempDir dir;
    const ScriptReadResult missing = Script::read(dir.file("nothing.scr").c_str());
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->line, 0);
    EXPECT_EQ(missing.error->located("nothing.scr"), "nothing.scr: could not parse script");

    const std::string path = dir.write("data/script.scr", "SETUP\nTIMELINE\n\n100 BEGIN 1\n");
    const ScriptReadResult bad = Script::read(path.c_str());
    ASSERT_TRUE(bad.error);
    EXPECT_EQ(bad.error->line, 4);
}

// An old script reads exactly as before when timing words are added to its
// header: the demo reads past them.
TEST(ScriptTiming, TimingWordsLeaveTheRestOfTheScriptAsItWas) {
    const std::string header = "BPM 125\nBEATS 3\nMARK drop 61440\nDEFINE BAR2 3840\nMARK two BAR2 + 480\n";
    auto plain = parseScript(kExample);
    auto timed = parseScript(header + kExample);
    EXPECT_EQ(timed->demoStart(), plain->demoStart());
    ASSERT_EQ(timed->timelineEvents().size(), plain->timelineEvents().size());
    for (std::size_t i = 0; i < plain->timelineEvents().size(); ++i) {
        const ScriptEvent& a = plain->timelineEvents()[i];
        const ScriptEvent& b = timed->timelineEvents()[i];
        EXPECT_EQ(a.time, b.time);
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.effectId, b.effectId);
        EXPECT_EQ(a.value.intValue, b.value.intValue);
        EXPECT_EQ(b.line, a.line + 5);  // below the five lines put above it
    }
    const ScriptTiming& timing = timed->timing();
    EXPECT_EQ(timing.bpm, 125.0);
    EXPECT_EQ(timing.beatMs(), 480.0);
    EXPECT_EQ(timing.beatsPerBar, 3);
    EXPECT_EQ(timing.barMs(), 1440.0);
    EXPECT_EQ(timing.bpmLine, 1);
    ASSERT_EQ(timing.marks.size(), 2u);
    EXPECT_EQ(timing.marks[0].name, "drop");
    EXPECT_EQ(timing.marks[0].time, 61440);
    EXPECT_EQ(timing.marks[1].time, 4320);
    EXPECT_EQ(timing.marks[1].line, 5);

    // Without the words: 120 a minute, four a bar, no marks.
    EXPECT_EQ(plain->timing().beatMs(), 500.0);
    EXPECT_EQ(plain->timing().barMs(), 2000.0);
    EXPECT_EQ(plain->timing().bpmLine, 0);
    EXPECT_TRUE(plain->timing().marks.empty());
}

TEST(ScriptTiming, ValuesThatDoNotFitAreWarningsAndTheDefaultsStay) {
    const ScriptReadResult result = Script::parseText(
        "BPM fast\n"   // 1
        "BPM 0\n"      // 2
        "BPM 127.5\n"  // 3: a fraction is a tempo
        "BEATS 0\n"    // 4
        "MARK\n"       // 5: the name is SETUP, which ends the header
        "SETUP TIMELINE 100 START 1 LINETIME\n");
    ASSERT_TRUE(result.script);
    EXPECT_EQ(result.script->timing().bpm, 127.5);
    EXPECT_EQ(result.script->timing().beatsPerBar, 4);
    EXPECT_TRUE(result.script->timing().marks.empty());
    std::vector<int> warned;
    for (const ScriptDiagnostic& w : result.warnings) warned.push_back(w.line);
    EXPECT_EQ(warned, (std::vector<int>{1, 2, 4, 5}));

    // DEMOSTART keeps its meaning after a MARK that tries to name it, and a
    // mark's words are otherwise read past as the demo reads them.
    const ScriptReadResult named = Script::parseText("MARK DEMOSTART 500 MARK x y SETUP");
    ASSERT_TRUE(named.script);
    EXPECT_EQ(named.script->demoStart(), 500);
    EXPECT_TRUE(named.script->timing().marks.empty());
    EXPECT_EQ(named.warnings.size(), 3u) << "two marks, and no TIMELINE";
}

}  // namespace
}  // namespace vantor::test
