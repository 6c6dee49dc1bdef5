// vantor-script prints a parsed script in its stable format and reports
// script errors on stderr with exit code 1.
#include "tests/script/script_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace vantor::test {
namespace {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

ToolRun runTool(const TempDir& dir, const std::string& arguments) {
    const std::string out = dir.file("out.txt"), err = dir.file("err.txt");
    const std::string command =
        std::string("'") + VANTOR_SCRIPT_TOOL + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}

TEST(VantorScriptTool, PrintsTheExampleScript) {
    TempDir dir;
    const std::string script = dir.write("example.scr", kExample);
    const ToolRun run = runTool(dir, "'" + script + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "demostart 0\n"
              "setup 0 4 1 110 1 0 kake2.jpg\n"
              "timeline 100 1 1 0 0 0\n"
              "timeline 4000 3 22 0 0 0\n"
              "timeline 4000 1 22 0 0 0\n"
              "timeline 6000 4 22 90 0 2\n"
              "timeline 9000 2 22 0 0 0\n");
}

TEST(VantorScriptTool, ReportsScriptErrorsAndMissingFilesOnStderr) {
    TempDir dir;
    const std::string bad = dir.write("bad.scr", "SETUP TIMELINE\n100 START 1 // oops\n200 END 1\n");
    ToolRun run = runTool(dir, "'" + bad + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "script: not a valid(1-maxtime) time in timeline line # 2\n");
    EXPECT_EQ(run.out, "");

    run = runTool(dir, "'" + dir.file("missing.scr") + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "could not parse script\n");
}

TEST(VantorScriptTool, ReadsTheScriptFromInsideAPackedArchive) {
    TempDir dir;
    dir.write("data/script.scr", "SETUP TIMELINE 250 START 0x1f LINETIME");
    const std::string pack = std::string("cd '") + dir.path().string() + "' && '" + VANTOR_PPD_TOOL +
                             "' pack --password sesame packed.ppd data >/dev/null";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    std::filesystem::remove_all(dir.path() / "data");  // only the archive is read

    const std::string archive = "--archive '" + dir.file("packed.ppd") + "'";
    ToolRun run = runTool(dir, archive + " --password sesame");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "demostart 0\ntimeline 250 1 31 0 0 0\n");
    run = runTool(dir, archive + " --password sesame DATA\\\\SCRIPT.SCR");  // names ignore case and slash kind
    EXPECT_EQ(run.out, "demostart 0\ntimeline 250 1 31 0 0 0\n");

    run = runTool(dir, archive + " --password wrong");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "could not parse script\n");
    run = runTool(dir, archive + " --password sesame data/other.scr");
    EXPECT_EQ(run.exitCode, 1);
}

// The shipped show checks clean against the build's archive; a folder over
// the archive supplies an author's own pictures; findings are one line each
// with the file's line, then a summary, and only errors fail.
TEST(VantorScriptTool, ChecksScriptsAgainstTheFolderAndTheArchive) {
    TempDir dir;
    const std::string archive = std::string(" --archive '") + VANTOR_DEMO_DIR + "/vantor.ppd'";
    ToolRun run = runTool(dir, std::string("check '") + VANTOR_SOURCE_DIR + "/content/script/script.scr'" + archive);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "");

    dir.write("mine/data/images/own.pcx", "any bytes");
    const std::string script = dir.write("show.scr",
                                         "SETUP\n0 SIGNAL 0 110 own.pcx\n0 SIGNAL 0 110 theirs.pcx\n"
                                         "0 SIGNAL 0 110 rotule.pcx\nTIMELINE\n100 START 5\nLINETIME\n");
    const std::string folder = " --data '" + dir.file("mine") + "'";
    run = runTool(dir, "check '" + script + "'" + folder + archive);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              script + ":3: error: picture theirs.pcx is not there (SHOW (110) of effect 0 (ImageSequenceEffect))\n" +
                  script +
                  ":6: warning: START of effect 5 (HorizonScrollEffect) with no INIT before it: it "
                  "plays as if it had begun at music time 0\n" +
                  script + ": 1 error, 1 warning\n");

    const std::string warnOnly = dir.write("warn.scr", "SETUP\nTIMELINE\n100 START 5\nLINETIME\n");
    run = runTool(dir, "check '" + warnOnly + "'" + archive);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(": 0 errors, 1 warning"), std::string::npos) << run.err;

    run = runTool(dir, "check '" + dir.file("none.scr") + "'" + archive);
    EXPECT_EQ(run.exitCode, 1);
    run = runTool(dir, "check");
    EXPECT_EQ(run.exitCode, 2);
}

// One run reports every error and warning of the file, each with its line and
// word; a folder's soundtrack shorter than DEMOEND is a warning.
TEST(VantorScriptTool, CheckReportsEveryFindingOfTheFileInOneRun) {
    TempDir dir;
    const std::string archive = std::string(" --archive '") + VANTOR_DEMO_DIR + "/vantor.ppd'";
    dir.write("mine/soundtrack.mp3", readFile(std::string(VANTOR_TEST_AUDIO_DIR) + "/tone48000.mp3"));
    const std::string script = dir.write("show.scr",
                                         "BPM 128\nDEMOEND BAR16\nSETUP\nTIMELINE\n"
                                         "BAR1 INIT 28\nBAR1 START 28\nBAR2 STRAT 28\nBAR9 + BI SIGNAL 28 90 0\n"
                                         "BAR10 SIGNAL 28 SWRIL 1\nBAR12 END 28\nLINETIME\n");
    const ToolRun run = runTool(dir, "check '" + script + "' --data '" + dir.file("mine") + "'" + archive);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, script +
                           ":2: warning: the soundtrack ends at 6000 ms, before DEMOEND (30000 ms): the show plays "
                           "on in silence\n" +
                           script + ":7: error: script: event not recognized in timeline line # 3 at `STRAT`\n" +
                           script + ":8: warning: script: `BI` is not a number or a name: it reads as 0\n" + script +
                           ":9: error: script: not a valid number in timeline line # 5 at `SWRIL`\n" + script +
                           ": 2 errors, 2 warnings\n");
}

// list: every event with its line, its ms and the script's names; the
// machine listing of the same file keeps its numbers.
TEST(VantorScriptTool, ListShowsTheScriptsNames) {
    TempDir dir;
    const std::string script = dir.write("show.scr",
                                         "BPM 128\nDEMOEND BAR16\nDEFINE FLASH 30\nDEFINE ONCE 1\nMARK drop BAR8\n"
                                         "SETUP\nTIMELINE\nBAR9 + BEAT1 SIGNAL FLASH ONCE 0\n17813 SIGNAL 30 1 0\n"
                                         "LINETIME\n");
    ToolRun run = runTool(dir, "list '" + script + "'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "demostart 0\n"
              "demoend 30000\n"
              "grid 128 bpm, 4 beats a bar\n"
              "    5    15000  MARK drop\n"
              " line       ms  setup\n"
              " line       ms  timeline\n"
              "    8    17344  BAR9 + BEAT1  SIGNAL FLASH ONCE\n"
              "    9    17813  17813  SIGNAL FLASH ONCE\n");
    run = runTool(dir, "'" + script + "'");
    EXPECT_EQ(run.out, "demostart 0\ntimeline 17344 4 30 1 0 0\ntimeline 17813 4 30 1 0 0\n");

    const std::string broken = dir.write("broken.scr", "SETUP TIMELINE\n100 STRAT 1\n");
    run = runTool(dir, "list '" + broken + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, broken + ":2: script: event not recognized in timeline line # 1 at `STRAT`\n");
    EXPECT_EQ(runTool(dir, "list").exitCode, 2);
}

// docs/script.md is the manual the table makes: a change to the protocol
// without the regenerated manual fails here (the build writes the fresh one
// to <build>/docs/script.md).
TEST(VantorScriptTool, CommittedManualIsTheOneTheTableMakes) {
    TempDir dir;
    const ToolRun run = runTool(dir, "reference --manual");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out == readFile(std::string(VANTOR_SOURCE_DIR) + "/docs/script.md"))
        << "docs/script.md is stale: copy the build's docs/script.md over it";

    const ToolRun table = runTool(dir, "reference");
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 2 + 27) << "a row per registered id";
    EXPECT_NE(table.out.find("| 20 | GlowSceneEffect |"), std::string::npos);
}

TEST(VantorScriptTool, HelpAndUsage) {
    TempDir dir;
    ToolRun run = runTool(dir, "--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("usage: vantor-script FILE"), std::string::npos);
    run = runTool(dir, "");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.err.find("usage:"), std::string::npos);
    run = runTool(dir, "a b");
    EXPECT_NE(run.exitCode, 0);
    run = runTool(dir, "--archive");
    EXPECT_EQ(run.exitCode, 2);
    run = runTool(dir, "--frobnicate x.scr");
    EXPECT_EQ(run.exitCode, 2);
}

}  // namespace
}  // namespace vantor::test
