// The `ppd` program as authors and the build use it.
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/wait.h>

namespace vantor::test {
namespace {

class PpdToolTest : public ::testing::Test {
protected:
    // Runs ppd with the arguments in the temporary folder; stdout and stderr
    // land in files.
    int run(const std::string& arguments) {
        const std::string command =
            "cd '" + dir.path().string() + "' && '" PPD_TOOL_PATH "' " + arguments + " >out.txt 2>err.txt";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string out() const { return readFile(dir.file("out.txt")); }
    std::string err() const { return readFile(dir.file("err.txt")); }
    TempDir dir;
};

TEST_F(PpdToolTest, PackListCatExtract) {
    dir.write("data/script.scr", "SCRIPT\n");
    dir.write("data/images/a.pcx", std::string(5000, 'p'));
    ASSERT_EQ(run("pack --solid --password quorbel vantor.ppd data"), 0) << err();
    EXPECT_EQ(err(), "");

    ASSERT_EQ(run("list vantor.ppd"), 0);
    EXPECT_NE(out().find("data\\images\\a.pcx"), std::string::npos);
    EXPECT_NE(out().find("encrypted solid"), std::string::npos);

    ASSERT_EQ(run("cat --password quorbel vantor.ppd data/images/a.pcx"), 0);
    EXPECT_EQ(out(), std::string(5000, 'p'));

    ASSERT_EQ(run("extract --password quorbel -C x vantor.ppd"), 0) << err();
    EXPECT_EQ(readFile(dir.file("x/data/script.scr")), "SCRIPT\n");
    EXPECT_EQ(readFile(dir.file("x/data/images/a.pcx")), std::string(5000, 'p'));
    // The folder may follow the archive; the demo's password is the default.
    ASSERT_EQ(run("extract vantor.ppd show"), 0) << err();
    EXPECT_EQ(readFile(dir.file("show/data/images/a.pcx")), std::string(5000, 'p'));
    EXPECT_EQ(run("extract vantor.ppd show extra"), 1);
    EXPECT_EQ(run("extract --password wrong vantor.ppd y"), 1);
}

TEST_F(PpdToolTest, CatReadsArchivesOfOtherArchivers) {
    const std::string samples = std::string(VANTOR_TEST_DATA_DIR) + "/rar/";
    ASSERT_EQ(run("cat --password password '" + samples + "rarfile_rar202_comment_psw.rar' file2.txt"), 0) << err();
    EXPECT_EQ(out(), readFile(samples + "expected/FILE2.TXT"));
    ASSERT_EQ(run("cat '" + samples + "junrar_boat_audio_v20.rar' BoatModernEnglish.wav"), 0) << err();
    EXPECT_TRUE(out() == readFile(samples + "expected/BoatModernEnglish.wav"));
}

TEST_F(PpdToolTest, FailuresExplainThemselvesOnStderr) {
    dir.write("f.txt", "text");
    ASSERT_EQ(run("pack --password right a.rar f.txt"), 0);
    EXPECT_EQ(run("cat --password wrong a.rar f.txt"), 1);
    EXPECT_NE(err().find("CRC32 error"), std::string::npos);
    EXPECT_EQ(out(), "");
    EXPECT_EQ(run("cat a.rar nothing.txt"), 1);
    EXPECT_NE(err().find("nothing.txt"), std::string::npos);
    EXPECT_EQ(run("list f.txt"), 1);
    EXPECT_NE(err().find("Not a RAR file"), std::string::npos);
    EXPECT_NE(run("pack a.rar"), 0);
    EXPECT_NE(run("frobnicate"), 0);
    EXPECT_EQ(run("pack a.rar ../f.txt"), 1);
    EXPECT_NE(err().find(".."), std::string::npos);
}

TEST_F(PpdToolTest, HelpDescribesEveryCommand) {
    ASSERT_EQ(run("--help"), 0);
    for (const char* command : {"pack", "list", "cat", "extract", "--solid", "--store", "--password", "-C"})
        EXPECT_NE(out().find(command), std::string::npos) << command;
}

TEST_F(PpdToolTest, ExtractNeverWritesOutsideItsFolder) {
    RawMember evil = storedMember("..\\..\\escaped.txt", "x");
    dir.write("evil.rar", textOf(buildArchive({evil, storedMember("fine.txt", "ok")})));
    EXPECT_EQ(run("extract -C inside evil.rar"), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "escaped.txt"));
    EXPECT_EQ(readFile(dir.file("inside/fine.txt")), "ok");
}

}  // namespace
}  // namespace vantor::test
