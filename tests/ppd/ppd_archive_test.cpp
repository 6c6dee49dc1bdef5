// The data-file layer in archive mode: every path names a member of the
// selected archive, read with the stored password; loose files are not used.
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/ppd.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vantor::test {
namespace {

class PpdArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.enter();
        ppd_pack::PackOptions options;
        options.password = "quorbel";
        options.solid = true;
        const auto archive = ppd_pack::packArchive({{"data/script.scr", bytesOf("4000 + 2000 SIGNAL 15 20 0\n")},
                                                    {"data/images/kake1.jpg", bytesOf(noise(3000, 8))}},
                                                   options);
        dir.write("vantor.ppd", textOf(archive));
        dir.write("data/loose.txt", "on disk only");
    }
    void TearDown() override {
        ppd_clear_archive();
        ppd_set_folder(nullptr);
    }
    static std::string contents(const char* path) {
        ppd_file* file = ppd_open(path);
        if (!file) return "<none>";
        std::string text(reinterpret_cast<char*>(file->data), file->size);
        ppd_close(file);
        return text;
    }
    TempDir dir;
};

TEST_F(PpdArchiveTest, MembersAreReadFromTheArchive) {
    ppd_set_archive("vantor.ppd", "quorbel");
    ppd_file* file = ppd_open(
        "data/images/"
        "kake1.jpg");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(file->data), file->size), noise(3000, 8));
    EXPECT_EQ(file->pos, 0u);
    ppd_close(file);

    file = ppd_open("DATA\\SCRIPT.SCR");
    ASSERT_NE(file, nullptr);
    char word[5] = {};
    EXPECT_EQ(ppd_read(word, 4, 1, file), 1u);
    EXPECT_STREQ(word, "4000");
    ppd_close(file);
}

TEST_F(PpdArchiveTest, LooseFilesAndWrongPasswordsDoNotOpen) {
    ppd_set_archive("vantor.ppd", "quorbel");
    EXPECT_EQ(ppd_open("data/loose.txt"), nullptr);
    ppd_set_archive("vantor.ppd", "wrong");
    EXPECT_EQ(ppd_open("data/script.scr"), nullptr);
    ppd_set_archive("missing.ppd", "quorbel");
    EXPECT_EQ(ppd_open("data/script.scr"), nullptr);
    ppd_clear_archive();
    ppd_file* file = ppd_open("data/loose.txt");
    ASSERT_NE(file, nullptr);
    ppd_close(file);
}

// A data folder over the archive: its files win, with the archive's name rule;
// everything it lacks, or holds as something other than a file, still comes
// from the archive; a broken file in the folder fails rather than falling back.
TEST_F(PpdArchiveTest, AFolderOverTheArchiveWinsForTheFilesItHas) {
    ppd_set_archive("vantor.ppd", "quorbel");
    ppd_set_folder("show");
    EXPECT_EQ(contents("data/images/kake1.jpg"), noise(3000, 8));
    EXPECT_EQ(contents("data/script.scr"), "4000 + 2000 SIGNAL 15 20 0\n");
    EXPECT_EQ(ppd_folder_file("data/script.scr"), "");

    dir.write("show/Data/SCRIPT.scr", "edited\n");
    EXPECT_EQ(contents("data/script.scr"), "edited\n");
    EXPECT_EQ(contents("DATA\\script.SCR"), "edited\n");
    EXPECT_EQ(ppd_folder_file("data/script.scr"), "show/Data/SCRIPT.scr");
    EXPECT_EQ(contents("data/images/kake1.jpg"), noise(3000, 8));
    // Names that climb out of the folder are never looked up there.
    dir.write("secret.txt", "outside");
    EXPECT_EQ(contents("../secret.txt"), "<none>");

    // A folder in the file's place, then the file deleted: the archive's member.
    std::filesystem::remove("show/Data/SCRIPT.scr");
    std::filesystem::create_directories("show/data/script.scr");
    EXPECT_EQ(contents("data/script.scr"), "4000 + 2000 SIGNAL 15 20 0\n");
    std::filesystem::remove("show/data/script.scr");
    EXPECT_EQ(contents("data/script.scr"), "4000 + 2000 SIGNAL 15 20 0\n");

    // An empty file is a file: it wins.
    dir.write("show/data/script.scr", "");
    EXPECT_EQ(contents("data/script.scr"), "");

    // Without an archive the folder lies over the working directory.
    ppd_clear_archive();
    EXPECT_EQ(contents("data/loose.txt"), "on disk only");
    dir.write("show/data/loose.txt", "from the folder");
    EXPECT_EQ(contents("data/loose.txt"), "from the folder");
    ppd_set_folder(nullptr);
    EXPECT_EQ(contents("data/loose.txt"), "on disk only");
}

}  // namespace
}  // namespace vantor::test
