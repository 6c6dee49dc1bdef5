// vantor-script prints a parsed script in its stable format and reports
// script errors on stderr with exit code 1.
#include "tests/script/script_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

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
