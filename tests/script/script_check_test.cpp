// The script checker: what it finds in scripts that read without error, each
// finding on the line of the file it is about, and nothing in a clean script.
#include "app/effect_protocol.h"
#include "app/script_check.h"
#include "effects/capture_effect.h"
#include "effects/image_sequence_effect.h"
#include "effects/wipe_effect.h"
#include "scene/effects/scene_effect.h"
#include "scene/effects/visor_effect.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace vantor::test {
namespace {

// Data held in the test: a few pictures, the start-up's scenes with cameras.
class FakeData : public ScriptData {
public:
    bool hasPicture(const std::string& name) override { return pictures.count(name) > 0; }
    std::optional<std::vector<int>> sceneCameras(const std::string& sceneFile) override {
        const auto it = cameras.find(sceneFile);
        if (it == cameras.end()) return std::nullopt;
        return it->second;
    }
    std::set<std::string> pictures{"title.pcx", "frame.jpg"};
    std::map<std::string, std::vector<int>> cameras{{"data/sputnik.ppp", {70, 71}}, {"data/steiner.ppp", {9}}};
};

// "LINE severity: message" for each finding, for compact expectations.
std::vector<std::string> findings(const std::string& text) {
    FakeData data;
    std::vector<std::string> out;
    for (const CheckDiagnostic& d : checkScriptText(text, data))
        out.push_back(std::to_string(d.line) +
                      (d.severity == CheckDiagnostic::Severity::Error ? " error: " : " warning: ") + d.message);
    return out;
}

bool mentions(const std::vector<std::string>& found, const std::string& start, const std::string& part) {
    for (const std::string& f : found)
        if (f.rfind(start, 0) == 0 && f.find(part) != std::string::npos) return true;
    return false;
}

TEST(ScriptCheck, ACleanScriptHasNoFindings) {
    const std::string text =
        "DEFINE CARDS 0\n"
        "SETUP\n"
        "0 SIGNAL CARDS 31 title.pcx\n"
        "TIMELINE\n"
        "100 INIT 26\n"
        "100 SIGNAL 26 21 71\n"
        "100 START 26\n"
        "100 SIGNAL 10 70 26\n"
        "200 START 0\n"
        "300 END 0\n"
        "400 START 0\n"
        "240000 END 26\n"
        "LINETIME\n";
    EXPECT_EQ(findings(text), std::vector<std::string>{});
}

TEST(ScriptCheck, ReadingErrorsAndReaderWarningsComeWithTheirLines) {
    auto found = findings("SETUP\nTIMELINE\n100 START 1\n\n200 JUMP 1\nLINETIME\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "5 error: script: event not recognized in timeline line # 2 at `JUMP`");

    found = findings("BPM fast\nSETUP\nTIMELINE\n100 START 1\nLINETIME\n");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0], "1 warning: script: `fast` is not a tempo: BPM needs 20 to 999 beats a minute");
}

// The checker reads on past every error: each is reported once, on its own
// line and naming its word, with the warnings of the entries around it; the
// entries between the errors are still checked.
TEST(ScriptCheck, EveryErrorAndWarningOfTheFileInOneRun) {
    const auto found = findings(
        "BPM 128\n"                  // 1
        "DEMOSTART soon\n"           // 2
        "SETUP\n"                    // 3
        "0 SIGNAL 0 31 title.pcx\n"  // 4
        "0 SGNAL 0 31 frame.jpg\n"   // 5
        "TIMELINE\n"                 // 6
        "BAR9 + BI SIGNAL 30 1 0\n"  // 7: BI reads as 0
        "BAR9 START SWRIL\n"         // 8
        "BAR10 START 3\n"            // 9: never registered
        "BAR10 START LINETIME\n"     // 10: LINETIME still ends the timeline
        "999999 START 3\n");         // 11: after LINETIME, not read
    EXPECT_EQ(found, (std::vector<std::string>{
                         "2 error: script: not a valid DEMOSTART value at `soon`",
                         "5 error: script: event not recognized in setup line # 2 at `SGNAL`",
                         "7 warning: script: `BI` is not a number or a name: it reads as 0",
                         "8 error: script: not a valid number in timeline line # 2 at `SWRIL`",
                         "9 error: effect 3 is never registered by the start-up",
                         "10 error: script: not a valid number in timeline line # 4 at `LINETIME`",
                     }));
    // The demo stops at the first of them.
    EXPECT_EQ(Script::parseText("DEMOSTART soon\nSETUP\n0 SGNAL 0 31 x\n").errors.size(), 1u);
}

// Data the script names that is not there, or a file that is not all text.
TEST(ScriptCheck, NulBytesMissingTimelinesLateEventsAndShortSoundtracksAreWarnings) {
    auto found = findings("SETUP TIMELINE\n100 START 0\n" + std::string(1, '\0') + "\n200 START 99\n");
    EXPECT_EQ(found, (std::vector<std::string>{
                         "3 warning: script: a NUL byte on line 3 ends the text: the rest of the file is ignored"}));
    found = findings("DEMOSTART 0\n");
    EXPECT_EQ(found, (std::vector<std::string>{"1 warning: script: no TIMELINE section: the show has no events"}));

    class ShortSoundtrack : public FakeData {
    public:
        std::optional<std::int64_t> soundtrackLength() override { return 30000; }
    } shortSoundtrack;
    const char* late = "DEMOEND 40000\nSETUP TIMELINE\n35000 START 0\n45000 END 0\nLINETIME\n";
    std::vector<std::string> lines;
    for (const CheckDiagnostic& d : checkScriptText(late, shortSoundtrack))
        lines.push_back(std::to_string(d.line) + " " + d.message);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "1 the soundtrack ends at 30000 ms, before DEMOEND (40000 ms): the show plays on in silence",
                         "4 event at 45000 ms comes after DEMOEND (40000 ms)"}));
    lines.clear();
    for (const CheckDiagnostic& d :
         checkScriptText("SETUP TIMELINE\n35000 START 0\n45000 END 0\nLINETIME\n", shortSoundtrack))
        lines.push_back(std::to_string(d.line) + " " + d.message);
    EXPECT_EQ(lines, (std::vector<std::string>{"2 event at 35000 ms comes after the end of the soundtrack, where the "
                                               "show ends (30000 ms)",
                                               "3 event at 45000 ms comes after the end of the soundtrack, where the "
                                               "show ends (30000 ms)"}));
}

TEST(ScriptCheck, UnregisteredIdsMissingPicturesAndCamerasAreErrors) {
    const auto found = findings(
        "SETUP\n"
        "0 SIGNAL 0 31 missing.pcx\n"  // 2
        "0 SIGNAL 24 110 frame.jpg\n"  // 3: there
        "TIMELINE\n"
        "100 START 3\n"                 // 5
        "100 SIGNAL 10 70 27\n"         // 6
        "100 SIGNAL 26 21 72\n"         // 7
        "100 SIGNAL 20 3 9\n"           // 8: the glow's camera, there
        "100 SIGNAL 20 3 70\n"          // 9
        "100 SIGNAL 25 110 gone.pcx\n"  // 10
        "100 SIGNAL 16 21 1\n"          // 11: scene not readable
        "LINETIME\n");
    EXPECT_TRUE(mentions(found, "2 error:", "picture missing.pcx is not there")) << testing::PrintToString(found);
    EXPECT_TRUE(mentions(found, "5 error:", "effect 3 is never registered"));
    EXPECT_TRUE(mentions(found, "6 error:", "names effect 27"));
    EXPECT_TRUE(mentions(found, "7 error:", "data/sputnik.ppp has no camera 72 (its cameras: 70, 71)"));
    EXPECT_TRUE(mentions(found, "9 error:", "data/steiner.ppp has no camera 70"));
    EXPECT_TRUE(mentions(found, "10 error:", "picture gone.pcx"));
    EXPECT_TRUE(mentions(found, "11 error:", "data/modul2.ppp"));
    EXPECT_EQ(found.size(), 7u) << testing::PrintToString(found);
}

// Effects that draw each other: SOURCE of the capture overlays and the visor,
// WIPE_FROM of the wipe, in cycles of one to five effects; a link that
// replaces an old one breaks the old cycle, and a link that closed a cycle
// counts as refused.
TEST(ScriptCheck, DrawingCyclesOfAnyLengthAreErrorsOnTheLineThatClosesThem) {
    const auto found = findings(
        "SETUP\nTIMELINE\n"
        "100 SIGNAL 13 70 13\n"  // 3: itself
        "100 SIGNAL 10 70 13\n"  // 4
        "100 SIGNAL 13 70 10\n"  // 5: 13 -> 10 -> 13
        "100 SIGNAL 13 70 14\n"  // 6: 13 draws 14 now
        "100 SIGNAL 12 71 24\n"  // 7: the wipe blends the inset
        "100 SIGNAL 24 70 9\n"   // 8
        "100 SIGNAL 9 70 12\n"   // 9: 9 -> 12 -> 24 -> 9
        "100 SIGNAL 10 70 9\n"   // 10: no cycle (10 -> 9 -> 12 -> 24)
        "100 SIGNAL 19 70 10\n"  // 11: the visor draws 10: no cycle
        "100 SIGNAL 24 70 19\n"  // 12: no cycle: 9 -> 12 was refused
        "100 SIGNAL 9 70 12\n"   // 13: 9 -> 12 -> 24 -> 19 -> 10 -> 9
        "LINETIME\n");
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "3 error: effects draw each other without end: 13 -> 13 (SOURCE (70) of effect 13 (SwirlEffect))",
                  "5 error: effects draw each other without end: 13 -> 10 -> 13 (SOURCE (70) of effect 13 "
                  "(SwirlEffect))",
                  "9 error: effects draw each other without end: 9 -> 12 -> 24 -> 9 (SOURCE (70) of effect 9 "
                  "(ZoomBlurEffect))",
                  "13 error: effects draw each other without end: 9 -> 12 -> 24 -> 19 -> 10 -> 9 (SOURCE (70) "
                  "of effect 9 (ZoomBlurEffect))"}));
}

TEST(ScriptCheck, IgnoredCodesMissingInitsLateEventsAndOverlapsAreWarnings) {
    const auto found = findings(
        "SETUP\nTIMELINE\n"
        "100 SIGNAL 31 55 1\n"  // 3: the fade takes no 55
        "100 SIGNAL 7 50 20\n"  // 4: the star field fills the screen
        "100 START 15\n"        // 5: a scene without INIT
        "100 START 0\n"         // 6: a picture needs none
        "200 START 0\n"         // 7: still running from line 6
        "300 END 0\n"
        "300 START 0\n"           // 9: fine again
        "300 SIGNAL 0 31 4\n"     // 10: a number for a picture
        "300 SIGNAL 0 50 left\n"  // 11: text for a number
        "240001 SIGNAL 30 1 0\n"  // 12: after the end
        "300 SIGNAL 12 71 5\n"    // 13: the panorama blends: fine
        "300 SIGNAL 12 71 22\n"   // 14: the logo does not
        "LINETIME\n");
    EXPECT_EQ(found.size(), 8u) << testing::PrintToString(found);
    EXPECT_TRUE(mentions(found, "3 warning:", "effect 31 (FadeEffect) ignores code 55"));
    EXPECT_TRUE(mentions(found, "4 warning:", "effect 7 (StarfieldEffect) ignores code 50"));
    EXPECT_TRUE(mentions(found, "5 warning:", "START of effect 15 (SceneEffect) with no INIT before it"));
    EXPECT_TRUE(mentions(found, "7 warning:", "still runs from the START on line 6"));
    EXPECT_TRUE(mentions(found, "10 warning:", "takes a picture's name for APPEND (31)"));
    EXPECT_TRUE(mentions(found, "11 warning:", "text \"left\" counts as 0"));
    EXPECT_TRUE(mentions(found, "12 warning:", "after the end of the show"));
    EXPECT_TRUE(mentions(found, "14 warning:", "names effect 22 (LogoEffect), which takes no blend factors"));
}

// Where the script names an effect or a code, the findings say its name
// (an entry's own word first, else another entry's for the same effect);
// what it never names keeps the effect table's name and number.
TEST(ScriptCheck, FindingsUseTheScriptsNames) {
    const auto found = findings(
        "DEFINE SWIRL 13\n"
        "DEFINE ZOOM 10\n"
        "DEFINE SOURCE 70\n"
        "DEFINE FADE 31\n"
        "DEFINE CARDS 0\n"
        "DEFINE SHOW 110\n"
        "DEFINE GHOST 3\n"
        "SETUP\n"
        "0 SIGNAL CARDS SHOW missing.pcx\n"  // 9
        "TIMELINE\n"
        "100 SIGNAL FADE 55 1\n"          // 11: the fade takes no 55
        "100 SIGNAL 31 55 1\n"            // 12: named by line 11
        "100 SIGNAL ZOOM SOURCE SWIRL\n"  // 13
        "100 SIGNAL SWIRL SOURCE ZOOM\n"  // 14: SWIRL -> ZOOM -> SWIRL
        "100 START GHOST\n"               // 15: never registered
        "100 START 15\n"                  // 16: never named
        "LINETIME\n");
    EXPECT_EQ(found, (std::vector<std::string>{
                         "9 error: picture missing.pcx is not there (SHOW of CARDS)",
                         "11 warning: FADE ignores code 55", "12 warning: FADE ignores code 55",
                         "14 error: effects draw each other without end: SWIRL -> ZOOM -> SWIRL (SOURCE of SWIRL)",
                         "15 error: GHOST (effect 3) is never registered by the start-up",
                         "16 warning: START of effect 15 (SceneEffect) with no INIT before it: it plays as if it "
                         "had begun at music time 0"}));
}

TEST(ScriptCheck, FindingsAreLocatedAndSummed) {
    FakeData data;
    const auto found = checkScriptText("SETUP\nTIMELINE\n100 START 3\n100 START 15\nLINETIME\n", data);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(hasErrors(found));
    EXPECT_EQ(found[0].located("show.scr"), "show.scr:3: error: effect 3 is never registered by the start-up");
    EXPECT_EQ(found[1].located("show.scr").rfind("show.scr:4: warning: START of effect 15", 0), 0u);
    EXPECT_EQ(checkSummary(found), "1 error, 1 warning");
    EXPECT_EQ(checkSummary({}), "0 errors, 0 warnings");
}

// The table reaches every code by name, and the effects that draw others say
// so with their codes.
TEST(EffectProtocolTable, CodesAreUniqueNamedAndLinked) {
    for (const EffectProtocol& e : effectProtocols()) {
        SCOPED_TRACE(e.id);
        std::set<int> codes;
        std::set<std::string> names;
        for (const SignalCodeInfo& c : e.codes) {
            EXPECT_TRUE(codes.insert(c.code).second) << c.code;
            EXPECT_TRUE(names.insert(c.name).second) << c.name;
            EXPECT_EQ(c.link != EffectLink::None, c.unit == SignalUnit::EffectId) << c.name;
        }
        if (e.nextCameraCode) {
            EXPECT_NE(e.sceneFile, nullptr);
            EXPECT_NE(e.findCode(e.nextCameraCode), nullptr);
        }
    }
    EXPECT_EQ(findEffectProtocol(12)->findCode(WipeEffect::WIPE_FROM)->link, EffectLink::Blends);
    EXPECT_EQ(findEffectProtocol(19)->findCode(VisorEffect::SOURCE)->link, EffectLink::Captures);
    EXPECT_EQ(findEffectProtocol(20)->nextCameraCode, 2);
    EXPECT_EQ(findEffectProtocol(15)->nextCameraCode, SceneEffect::NEXT_CAMERA);
    EXPECT_EQ(findEffectProtocol(3), nullptr);
    EXPECT_EQ(findEffectProtocol(-1), nullptr);
}

}  // namespace
}  // namespace vantor::test
