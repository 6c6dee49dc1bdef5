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
    for (const Case& c : {Case{"\nDEMOEND 0\n", outside, 2}, Case{"DEMOEND -5000\n", outside, 1},
                          Case{"DEMOEND 240001\n", outside, 1}, Case{"DEMOEND 200000 + 50000\n", outside, 1},
                          Case{"DEMOEND abc\n", outside, 1}, Case{"DEMOEND\n", outside, 1},
                          Case{"DEMOEND 5000\nDEMOSTART 8000\n", before, 1},
                          Case{"DEMOSTART 8000\n\nDEMOEND 8000\n", before, 3}}) {
        SCOPED_TRACE(c.header);
        const ScriptReadResult result = Script::parseText(std::string(c.header) + "SETUP TIMELINE 100 START 1 LINETIME");
        ASSERT_TRUE(result.error);
        EXPECT_EQ(result.error->text(), c.message);
        EXPECT_EQ(result.error->line, c.line);
        EXPECT_EQ(scriptError(std::string(c.header) + "SETUP"), c.message) << "the demo ends on it";
    }
    EXPECT_EQ(parseScript("DEMOEND 240000 SETUP")->demoEnd(), 240000);
}

}  // namespace
}  // namespace vantor::test
