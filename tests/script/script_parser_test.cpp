// The timeline script reader: passes, DEFINEs, the three number readings,
// sections, capacities and every fatal message.
#include "libs/ppd/ppd.h"
#include "tests/script/script_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

// One event as "time kind id code isString intValue text".
std::string describe(const ScriptEvent& e) {
    return std::to_string(e.time) + " " + std::to_string(e.kind) + " " + std::to_string(e.effectId) + " " +
           std::to_string(e.value.code) + " " + std::to_string(e.value.isString) + " " +
           std::to_string(e.value.intValue) + (e.value.text.empty() ? "" : " " + e.value.text);
}

std::vector<std::string> timeline(const Script& script) {
    std::vector<std::string> out;
    for (const ScriptEvent& e : script.timelineEvents()) out.push_back(describe(e));
    return out;
}

std::vector<std::string> setup(const Script& script) {
    std::vector<std::string> out;
    for (const ScriptEvent& e : script.setupEvents()) out.push_back(describe(e));
    return out;
}

using Lines = std::vector<std::string>;

TEST(ScriptParser, ReadsTheExampleScriptInFileOrder) {
    auto script = parseScript(kExample);
    EXPECT_EQ(script->demoStart(), 0);
    EXPECT_EQ(setup(*script), Lines{"0 4 1 110 1 0 kake2.jpg"});
    EXPECT_EQ(timeline(*script),
              (Lines{"100 1 1 0 0 0", "4000 3 22 0 0 0", "4000 1 22 0 0 0", "6000 4 22 90 0 2", "9000 2 22 0 0 0"}));
}

TEST(ScriptParser, CommentsAreOnlyTheFirstWordOfALine) {
    // A whole comment line, a "//word" comment, CRLF line ends and a comment
    // right after a DEFINE's three words all vanish.
    auto script = parseScript(
        "SETUP TIMELINE\r\n"
        "// 100 START 5\r\n"
        "//nospace 200 START 6\r\n"
        "DEFINE A 7 // trailing words after a DEFINE start a new line\r\n"
        "300 START A\r\n"
        "LINETIME\r\n");
    EXPECT_EQ(timeline(*script), Lines{"300 1 7 0 0 0"});

    // After other words // is not a comment: it becomes the next entry's time, 0.
    EXPECT_EQ(scriptError("SETUP TIMELINE\n100 START 1 // not a comment\n200 END 1\nLINETIME\n"),
              "script: not a valid(1-maxtime) time in timeline line # 2");
}

TEST(ScriptParser, DefinesApplyEverywhereOnceAndFirstMatchWins) {
    auto script = parseScript(
        "SETUP TIMELINE\n"
        "100 GO EFFECT\n"  // used above its definition, a keyword as replacement
        "LINETIME\n"
        "DEFINE GO START\n"
        "DEFINE EFFECT 0x1f\n"
        "DEFINE GO END\n");  // a second definition of GO is never used
    EXPECT_EQ(timeline(*script), Lines{"100 1 31 0 0 0"});

    // A becomes B, and B is not replaced again, so the id is not a number.
    EXPECT_EQ(scriptError("SETUP TIMELINE 200 START A LINETIME DEFINE A B DEFINE B 12"),
              "script: not a valid number in timeline line # 1");
    // Names are case-sensitive.
    EXPECT_EQ(scriptError("SETUP TIMELINE 100 START effect LINETIME DEFINE EFFECT 3"),
              "script: not a valid number in timeline line # 1");
    // A keyword can be defined away, which breaks every use of it.
    EXPECT_EQ(scriptError("DEFINE START BEGIN\nSETUP TIMELINE\n100 START 1\nLINETIME\n"),
              "script: event not recognized in timeline line # 1");
    // Section words too: without TIMELINE the timeline entry "x 100 START" is read as setup.
    EXPECT_EQ(scriptError("DEFINE TIMELINE x\nSETUP 0 SIGNAL 1 2 a TIMELINE\n100 START 1\nLINETIME\n"),
              "script: event not recognized in setup line # 2");
}

TEST(ScriptParser, DefinesBeyondFourHundredAreIgnored) {
    std::string defines;
    for (int i = 0; i < 400; ++i) defines += "DEFINE D" + std::to_string(i) + " " + std::to_string(i + 1) + "\n";
    EXPECT_EQ(timeline(*parseScript(defines + "SETUP TIMELINE\n100 START D399\nLINETIME\n")), Lines{"100 1 400 0 0 0"});
    // The 401st DEFINE is dropped: LATE stays a word, which is not a number.
    EXPECT_EQ(scriptError(defines + "DEFINE LATE 9\nSETUP TIMELINE 100 START LATE LINETIME"),
              "script: not a valid number in timeline line # 1");
}

TEST(ScriptParser, ThreeNumberReadingsStayDifferent) {
    auto script = parseScript(
        "DEMOSTART 0x10\n"
        "SETUP TIMELINE\n"
        "1500ms START 010\n"          // time decimal to the first letter; id octal
        "100 SIGNAL 0x1F 0X0a 010\n"  // id and code hex; value decimal
        "100 SIGNAL 2 -010 -3\n"      // negative code; negative value
        "100 SIGNAL 2 3 12ab\n"       // integer word with trailing letters
        "100 SIGNAL 2 3 0xff\n"       // begins with 0: integer word of value 0
        "100 SIGNAL 2 3 -0\n"         // string
        "100 SIGNAL 2 3 +0\n"         // string
        "100 SIGNAL 2 3 abc\n"        // string
        "-50 START 1\n"               // negative times are accepted
        "LINETIME\n");
    EXPECT_EQ(script->demoStart(), 16);
    EXPECT_EQ(timeline(*script),
              (Lines{"1500 1 8 0 0 0", "100 4 31 10 0 10", "100 4 2 -8 0 -3", "100 4 2 3 0 12", "100 4 2 3 0 0",
                     "100 4 2 3 1 0 -0", "100 4 2 3 1 0 +0", "100 4 2 3 1 0 abc", "-50 1 1 0 0 0"}));

    // Setup entries read the same way: the time by the decimal rule (0x10 is
    // 0, so accepted), id and code with prefixes.
    EXPECT_EQ(setup(*parseScript("SETUP 0x10 SIGNAL 010 0x6e pic.pcx TIMELINE")), Lines{"0 4 8 110 1 0 pic.pcx"});
    // A timeline time or a "+" word written in hexadecimal counts as 0.
    EXPECT_EQ(timeline(*parseScript("SETUP TIMELINE 100 + 0x10 START 1 LINETIME")), Lines{"100 1 1 0 0 0"});
    EXPECT_EQ(scriptError("SETUP TIMELINE 0x10 START 1 LINETIME"),
              "script: not a valid(1-maxtime) time in timeline line # 1");

    // A later DEMOSTART overrides; numbers beyond 32 bits are clamped.
    EXPECT_EQ(parseScript("DEMOSTART 5 DEMOSTART 60000 SETUP")->demoStart(), 60000);
    auto big = parseScript("SETUP TIMELINE 99999999999999999999 START 1 LINETIME");
    EXPECT_EQ(big->timelineEvents().at(0).time, 2147483647);
}

TEST(ScriptParser, TimeExpressionsAddPlusWords) {
    auto script = parseScript(
        "SETUP TIMELINE\n"
        "1000 + 250 + 50 START 1\n"
        "1000 +junk 300 START 2\n"  // the plus word is discarded whole
        "1000 + -400 END 3\n"
        "0 + 20 INIT 4\n"  // a first word of 0 is fine if the sum is not
        "LINETIME\n");
    EXPECT_EQ(timeline(*script), (Lines{"1300 1 1 0 0 0", "1300 1 2 0 0 0", "600 2 3 0 0 0", "20 3 4 0 0 0"}));
    EXPECT_EQ(scriptError("SETUP TIMELINE 100 START 1 500 + -500 START 1 LINETIME"),
              "script: not a valid(1-maxtime) time in timeline line # 2");
}

TEST(ScriptParser, SectionsEndAtTheirWordsOrAtTheEndOfTheText) {
    // No SETUP: nothing but the header, successfully.
    auto none = parseScript("DEMOSTART 7 TIMELINE 100 START 1 LINETIME");
    EXPECT_EQ(none->demoStart(), 7);
    EXPECT_TRUE(none->setupEvents().empty());
    EXPECT_TRUE(none->timelineEvents().empty());

    // No LINETIME: the timeline ends at the end of the text.
    EXPECT_EQ(timeline(*parseScript("SETUP TIMELINE 100 START 1 200 END 1")).size(), 2u);
    // Words after LINETIME, and unknown header words, are ignored.
    EXPECT_EQ(timeline(*parseScript("hello there SETUP TIMELINE 100 START 1 LINETIME 0 nonsense")).size(), 1u);
    // A setup time that is not a number counts as 0.
    EXPECT_EQ(setup(*parseScript("SETUP zero SIGNAL 3 4 a.jpg TIMELINE")), Lines{"0 4 3 4 1 0 a.jpg"});
    // Empty text and a text of white space.
    EXPECT_TRUE(parseScript("")->timelineEvents().empty());
    EXPECT_TRUE(parseScript(" \t\r\n\v\f")->setupEvents().empty());
}

TEST(ScriptParser, FatalMessagesNameTheEntryWithinItsSection) {
    const std::string setupOk = "SETUP 0 SIGNAL 1 2 a 0 SIGNAL 1 2 b ";
    EXPECT_EQ(scriptError(setupOk + "5 SIGNAL 1 2 c"), "script: not a valid time (should be 0) in setup line # 3");
    EXPECT_EQ(scriptError(setupOk + "0 START 1"), "script: event not recognized in setup line # 3");
    EXPECT_EQ(scriptError(setupOk + "0 SIGNAL 1 2 0"), "this is probably wrong, adding integer event in setup  3");
    EXPECT_EQ(scriptError(setupOk + "0 SIGNAL x 2 c"), "script: not a valid number in setup line # 3");
    EXPECT_EQ(scriptError(setupOk + "0 SIGNAL 1 2"), "script: value missing in setup line # 3");

    const std::string timelineOk = setupOk + "TIMELINE 100 START 1 ";
    EXPECT_EQ(scriptError(timelineOk + "0 START 1"), "script: not a valid(1-maxtime) time in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "abc START 1"), "script: not a valid(1-maxtime) time in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 STOP 1"), "script: event not recognized in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 start 1"), "script: event not recognized in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200"), "script: event not recognized in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 START logo"), "script: not a valid number in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 START"), "script: not a valid number in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 SIGNAL 1 code 5"), "script: not a valid number in timeline line # 2");
    EXPECT_EQ(scriptError(timelineOk + "200 SIGNAL 1 2"), "script: value missing in timeline line # 2");
    EXPECT_EQ(scriptError("DEMOSTART soon SETUP"), "script: not a valid DEMOSTART value");
    EXPECT_EQ(scriptError("DEMOSTART"), "script: not a valid DEMOSTART value");
}

TEST(ScriptParser, EventsBeyondTheCapacitiesAreDroppedSilently) {
    std::string text = "SETUP\n";
    for (int i = 0; i < 1001; ++i) text += "0 SIGNAL 1 " + std::to_string(i) + " s\n";
    text += "TIMELINE\n";
    for (int i = 1; i <= 1001; ++i) text += std::to_string(i) + " START 2\n";
    auto script = parseScript(text + "LINETIME\n");
    ASSERT_EQ(script->setupEvents().size(), 1000u);
    ASSERT_EQ(script->timelineEvents().size(), 1000u);
    EXPECT_EQ(script->setupEvents().back().value.code, 999);
    EXPECT_EQ(script->timelineEvents().back().time, 1000);
    // Dropped entries still count and are still checked.
    EXPECT_EQ(scriptError(text + "1002 START 2 0 END 2"),
              "script: not a valid(1-maxtime) time in timeline line # 1003");
}

TEST(ScriptParser, LongWordsAndLinesAreKeptWhole) {
    const std::string longName(300, 'n');
    const std::string longText(5000, 't');
    const std::string longComment = "// " + std::string(500, 'c') + " 100 START 1\n";
    auto script = parseScript(longComment + "DEFINE " + longName + " 0x000000000000000000000000000000000000000017\n" +
                              "SETUP TIMELINE\n100 SIGNAL " + longName + " 1 " + longText + "\nLINETIME\n");
    ASSERT_EQ(script->timelineEvents().size(), 1u);
    EXPECT_EQ(script->timelineEvents()[0].effectId, 23);
    EXPECT_EQ(script->timelineEvents()[0].value.text, longText);
}

TEST(ScriptParser, ANulByteEndsTheText) {
    const std::string text("SETUP TIMELINE 100 START 1 \0 200 START 2", 40);
    EXPECT_EQ(parseScript(text)->timelineEvents().size(), 1u);
}

TEST(ScriptFile, ReadsThroughTheDataFileLayer) {
    ppd_clear_archive();
    TempDir dir;
    const std::string path = dir.write("data/script.scr", kExample);
    ScopedFatalErrorCapture capture;
    Script script(path.c_str());
    EXPECT_EQ(script.timelineEvents().size(), 5u);
    EXPECT_EQ(script.setupEvents().size(), 1u);

    const std::string empty = dir.write("empty.scr", "");
    EXPECT_TRUE(Script(empty.c_str()).timelineEvents().empty());

    try {
        Script missing(dir.file("nothing.scr").c_str());
        ADD_FAILURE() << "a missing script parsed";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "could not parse script");
    }
}

}  // namespace
}  // namespace vantor::test
