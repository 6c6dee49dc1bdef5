// Times an author types to the tools: milliseconds as before, and the show's
// own names read exactly as the script reads its times.
#include "runtime/script.h"
#include "runtime/typed_time.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor::test {
namespace {

constexpr const char* kShow =
    "BPM 128\n"
    "DEFINE DROP BAR16\n"
    "DEFINE BAR4 1000\n"
    "DEFINE FLASH 30\n"
    "MARK chorus BAR9\n"
    "MARK late chorus\n"  // no time: the reader warns
    "SETUP\n"
    "TIMELINE\n"
    "BAR8 + BEAT2 SIGNAL FLASH 1 0\n"
    "DROP + 120 START 31\n"
    "LINETIME\n";

std::int32_t msOf(const char* text, const Script* script) {
    const TypedTime time = readTypedTime(text, script);
    EXPECT_TRUE(time.ms) << text << ": " << time.error;
    return time.ms.value_or(-1);
}

std::string errorOf(const char* text, const Script* script) {
    const TypedTime time = readTypedTime(text, script);
    EXPECT_FALSE(time.ms) << text;
    return time.error;
}

TEST(TypedTime, NamesReadAsTheScriptReadsItsOwnTimes) {
    const ScriptReadResult read = Script::parseText(kShow);
    ASSERT_TRUE(read.script);
    const Script& show = *read.script;
    // The script's own events and the typed names give the same ms.
    ASSERT_EQ(show.timelineEvents().size(), 2u);
    EXPECT_EQ(msOf("BAR8+BEAT2", &show), show.timelineEvents()[0].time);
    EXPECT_EQ(msOf(" BAR8 + BEAT2 ", &show), show.timelineEvents()[0].time);
    EXPECT_EQ(msOf("DROP+120", &show), show.timelineEvents()[1].time);
    EXPECT_EQ(msOf("BAR9", &show), 16875);
    EXPECT_EQ(msOf("chorus", &show), 16875);
    EXPECT_EQ(msOf("chorus + 5", &show), 16880);
    EXPECT_EQ(msOf("BAR4", &show), 1000);  // the script's DEFINE wins
    EXPECT_EQ(msOf("FLASH", &show), 30);   // any DEFINE, as in the script
    EXPECT_EQ(msOf("BAR999999999", &show), 2147483647);
    // Milliseconds as before, with or without a script.
    EXPECT_EQ(msOf("61440", &show), 61440);
    EXPECT_EQ(msOf("1000+500", nullptr), 1500);
    EXPECT_EQ(msOf("0", nullptr), 0);
    // Past the 32-bit range a number and a sum are held at its end, as in the
    // script (a number of 22 digits came from fuzzing).
    EXPECT_EQ(msOf("4444444444444444444442", nullptr), 2147483647);
    EXPECT_EQ(msOf("2147483647 + 1", nullptr), 2147483647);
}

TEST(TypedTime, MistakesNameTheirWord) {
    const ScriptReadResult read = Script::parseText(kShow);
    ASSERT_TRUE(read.script);
    const Script* show = read.script.get();
    EXPECT_NE(errorOf("BAR9 + BI", show).find("`BI`"), std::string::npos);
    EXPECT_NE(errorOf("late", show).find("`late`"), std::string::npos);  // a mark that did not read
    EXPECT_NE(errorOf("12ms", show).find("`12ms`"), std::string::npos);
    EXPECT_NE(errorOf("BAR9", nullptr).find("`BAR9`"), std::string::npos);
    const ScriptReadResult noGrid = Script::parseText("SETUP\nTIMELINE\nLINETIME\n");
    EXPECT_NE(errorOf("BAR9", noGrid.script.get()).find("no BPM"), std::string::npos);
    for (const char* bad : {"", "  ", "+", "BAR8++BEAT2", "BAR8+", "+5000", "-5", "BAR8 BEAT2", "1000,2000", "5 000"}) {
        EXPECT_FALSE(isTypedTime(bad)) << bad;
        EXPECT_FALSE(readTypedTime(bad, show).ms) << bad;
    }
    for (const char* good : {"5000", "BAR8+BEAT2", "drop + 120", "_x"}) EXPECT_TRUE(isTypedTime(good)) << good;
}

}  // namespace
}  // namespace vantor::test
