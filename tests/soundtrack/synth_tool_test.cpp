// vantor-synth's command line: help, usage errors, and an output it cannot
// write reported before any rendering.
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace vantor::test {
namespace {

int runSynth(const TempDir& dir, const std::string& arguments, std::string* err = nullptr) {
    const std::string errFile = dir.file("err.txt");
    const std::string command =
        std::string("'") + VANTOR_SYNTH_TOOL + "' " + arguments + " >'" + dir.file("out.txt") + "' 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    if (err) *err = readFile(errFile);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(VantorSynthTool, HelpUsageAndUnwritableOutput) {
    TempDir dir;
    EXPECT_EQ(runSynth(dir, "--help"), 0);
    EXPECT_NE(readFile(dir.file("out.txt")).find("usage: vantor-synth"), std::string::npos);

    std::string err;
    EXPECT_EQ(runSynth(dir, "", &err), 2);
    EXPECT_NE(err.find("usage:"), std::string::npos);
    EXPECT_EQ(runSynth(dir, "a.wav b.wav"), 2);
    EXPECT_EQ(runSynth(dir, "--loud a.wav"), 2);

    EXPECT_EQ(runSynth(dir, "'" + dir.file("no/such/folder/out.wav") + "'", &err), 1);
    EXPECT_NE(err.find("out.wav"), std::string::npos);
}

}  // namespace
}  // namespace vantor::test
