// Events in the author's names: the words the entry wrote, the names the
// script gives the same effect and code elsewhere, the effect table's names
// for what it never named.
#include "app/script_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::test {
namespace {

std::vector<std::string> names(const char* text) {
    const ScriptReadResult read = Script::parseText(text);
    std::vector<std::string> out;
    if (!read.script) return {read.error->text()};
    for (const auto* events : {&read.script->setupEvents(), &read.script->timelineEvents()})
        for (const ScriptEvent& e : *events) out.push_back(scriptEventName(*read.script, e));
    return out;
}

TEST(ScriptNames, WrittenNamesThenTheScriptsOwnThenTheEffectTables) {
    EXPECT_EQ(names("BPM 128\n"
                    "DEFINE FLASH 30\n"
                    "DEFINE ONCE 1\n"
                    "DEFINE CARDS 0\n"
                    "DEFINE DROP BAR16\n"
                    "SETUP\n"
                    "0 SIGNAL CARDS 31 title.pcx\n"
                    "TIMELINE\n"
                    "BAR9 + BEAT1 SIGNAL FLASH ONCE 0\n"
                    "17813 SIGNAL 30 1 0\n"
                    "DROP + 120 START 31\n"
                    "20000 SIGNAL 31 4 21000\n"
                    "20000 SIGNAL 3 7 x\n"
                    "LINETIME\n"),
              (std::vector<std::string>{
                  "0  SIGNAL CARDS APPEND title.pcx",
                  "BAR9 + BEAT1  SIGNAL FLASH ONCE",  // ONCE ignores its value
                  "17813  SIGNAL FLASH ONCE",         // as the script names effect 30 and its code 1 above
                  "DROP + 120  START 31 (FadeEffect)", "20000  SIGNAL 31 (FadeEffect) COLOUR_AT 21000",
                  "20000  SIGNAL 3 7 x",  // an id the start-up never registers
              }));
}

}  // namespace
}  // namespace vantor::test
