// The script reader must survive any byte sequence: random bytes, mutated
// scripts and very long inputs either parse into a sane script or end in a
// script error — never a crash, an overrun or an endless loop.
#include "app/script_check.h"
#include "fuzz/any_script_data.h"
#include "tests/script/script_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

const char* const kSeedScript =
    "// opening part\n"
    "DEFINE LOGO 22\n"
    "DEFINE GO START\n"
    "DEMOSTART 0x10\n"
    "BPM 125 BEATS 4\n"
    "MARK drop 61440 + 480\n"
    "SETUP\n"
    "0 SIGNAL 1 110 kake2.jpg\n"
    "0 SIGNAL 010 0x6e pic.pcx\n"
    "TIMELINE\n"
    "100 GO 1\n"
    "4000 INIT LOGO\n"
    "4000 + 2000 SIGNAL LOGO 90 -2\n"
    "4000 + 2000 + 5 SIGNAL LOGO 91 name\n"
    "9000 END LOGO\n"
    "LINETIME\n";

const char* const kTokens[] = {
    "DEFINE", "SETUP", "TIMELINE", "LINETIME", "DEMOSTART", "SIGNAL", "START", "END",          "INIT", "//",
    "+",      "0",     "0x",       "-0",       "010",       "\n",     " ",     "\r\n",         "\t",   "99999999999",
    "BPM",    "BEATS", "MARK",     "127.5",    "DEMOEND",   "BAR9",   "BEAT1", "BAR999999999", "BEAT"};

class ScriptFuzz : public ::testing::Test {
protected:
    // Reads the text as author tools do and checks that the lines it reports
    // lie in the text and follow the file's order, and that the result agrees
    // with the demo's reading.
    void checkLines(const std::string& text, const std::string& fatalText) {
        const ScriptReadResult result = Script::parseText(text);
        ASSERT_EQ(result.error.has_value(), !fatalText.empty());
        ASSERT_NE(result.script == nullptr, fatalText.empty());
        const std::string scanned = text.substr(0, text.find('\0'));
        const int lastLine = 1 + static_cast<int>(std::count(scanned.begin(), scanned.end(), '\n'));
        checkPastErrors(text, result, lastLine);
        if (result.error) {
            ASSERT_EQ(result.error->text(), fatalText);
            ASSERT_GE(result.error->line, 1);
            ASSERT_LE(result.error->line, lastLine);
            return;
        }
        for (const auto* events : {&result.script->setupEvents(), &result.script->timelineEvents()}) {
            int previous = 1;
            for (const ScriptEvent& e : *events) {
                ASSERT_GE(e.line, previous);
                ASSERT_LE(e.line, lastLine);
                previous = e.line;
            }
        }
        for (const ScriptMark& mark : result.script->timing().marks) ASSERT_LE(mark.line, lastLine);
        for (const ScriptDiagnostic& warning : result.warnings) ASSERT_LE(warning.line, lastLine);
        // The checker on the same reading: its findings stay in the text too.
        for (const CheckDiagnostic& d : checkScript(result, data)) {
            ASSERT_GE(d.line, 0);
            ASSERT_LE(d.line, lastLine);
            ASSERT_FALSE(d.message.empty());
        }
    }

    // Read past errors, the first error is the demo's, every error lies in
    // the text in file order and none is reported twice; a clean script reads
    // the same either way.
    static void checkPastErrors(const std::string& text, const ScriptReadResult& demo, int lastLine) {
        const ScriptReadResult all = Script::parseTextPastErrors(text);
        ASSERT_EQ(all.errors.empty(), !demo.error.has_value());
        if (!demo.error) {
            ASSERT_TRUE(all.script);
            ASSERT_EQ(all.script->timelineEvents().size(), demo.script->timelineEvents().size());
            return;
        }
        ASSERT_TRUE(all.partial);
        ASSERT_EQ(all.errors.front().text(), demo.error->text());
        ASSERT_EQ(all.errors.front().line, demo.error->line);
        for (std::size_t i = 0; i < all.errors.size(); ++i) {
            ASSERT_GE(all.errors[i].line, 1);
            ASSERT_LE(all.errors[i].line, lastLine);
            if (i == 0) continue;
            const ScriptDiagnostic& a = all.errors[i - 1];
            const ScriptDiagnostic& b = all.errors[i];
            ASSERT_FALSE(a.line == b.line && a.message == b.message && a.number == b.number) << b.text();
        }
    }

    // Pictures and cameras that come and go with the name, so the checker
    // takes both ways.
    fuzz::AnyScriptData data;

    // Parses and checks what a successful parse promises.
    void check(const std::string& text) {
        std::string fatalText;
        ScopedFatalErrorCapture capture;
        try {
            auto script = Script::fromText(text);
            ++parsed;
            ASSERT_LE(script->setupEvents().size(), 1000u);
            ASSERT_LE(script->timelineEvents().size(), 1000u);
            for (const ScriptEvent& e : script->setupEvents()) {
                ASSERT_EQ(e.time, 0);
                ASSERT_EQ(e.kind, ScriptEvent::Signal);
                ASSERT_EQ(e.value.isString, 1);
            }
            for (const ScriptEvent& e : script->timelineEvents()) {
                ASSERT_NE(e.time, 0);
                ASSERT_GE(e.kind, 1);
                ASSERT_LE(e.kind, 4);
                ASSERT_TRUE(e.value.isString == 0 || e.value.isString == 1);
                ASSERT_TRUE(e.value.isString || e.value.text.empty());
            }
        } catch (const FatalError& error) {
            ++failed;
            fatalText = error.what();
            const std::string message = error.what();
            ASSERT_TRUE(message.rfind("script: ", 0) == 0 || message.rfind("this is probably wrong", 0) == 0)
                << message;
        }
        checkLines(text, fatalText);
    }

    std::mt19937 random{20260815};
    int parsed = 0;
    int failed = 0;
};

TEST_F(ScriptFuzz, RandomBytes) {
    for (int round = 0; round < 3000; ++round) {
        std::string text(random() % 600, '\0');
        const bool printable = round % 2 == 0;
        for (char& c : text) c = static_cast<char>(printable ? 9 + random() % 118 : random() % 256);
        check(text);
    }
    EXPECT_GT(parsed + failed, 0);
}

TEST_F(ScriptFuzz, MutatedScripts) {
    const std::string seed = kSeedScript;
    for (int round = 0; round < 6000; ++round) {
        std::string text = seed;
        const int mutations = 1 + random() % 6;
        for (int m = 0; m < mutations; ++m) {
            const std::size_t at = text.empty() ? 0 : random() % text.size();
            switch (random() % 4) {
            case 0:
                if (!text.empty()) text[at] = static_cast<char>(random() % 256);
                break;
            case 1: text.erase(at, random() % 12); break;
            case 2: text.insert(at, kTokens[random() % (sizeof kTokens / sizeof *kTokens)]); break;
            case 3: text.insert(at, text.substr(at, random() % 40)); break;
            }
        }
        check(text);
    }
    // The mutations must reach both outcomes, or they test little.
    EXPECT_GT(parsed, 100);
    EXPECT_GT(failed, 100);
}

TEST_F(ScriptFuzz, HugeInputsEnd) {
    std::string plusChain = "SETUP TIMELINE 1";
    for (int i = 0; i < 200000; ++i) plusChain += " + 1";
    plusChain += " START 1";
    {
        auto script = parseScript(plusChain);
        ASSERT_EQ(script->timelineEvents().size(), 1u);
        EXPECT_EQ(script->timelineEvents()[0].time, 200001);
    }
    check(std::string(1 << 20, '+'));
    check(std::string(1 << 20, '/'));
    check("DEFINE " + std::string(1 << 20, 'x'));
    check("SETUP TIMELINE 5 SIGNAL 1 2 " + std::string(1 << 20, '7'));
    check(std::string(1 << 20, '\n'));
}

}  // namespace
}  // namespace vantor::test
