// The data-file layer in archive mode: every path names a member of the
// selected archive, read with the stored password; loose files are not used.
#include "libs/ppd/pack/pack.h"
#include "libs/ppd/ppd.h"
#include "tests/ppd/rar_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

class PpdArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.enter();
        ppd_pack::PackOptions options;
        options.password = "quorbel";
        options.solid = true;
        const auto archive = ppd_pack::packArchive(
            {{"data/script.scr", bytesOf("4000 + 2000 SIGNAL 15 20 0\n")}, {"data/images/kake1.jpg", bytesOf(noise(3000, 8))}},
            options);
        dir.write("vantor.ppd", textOf(archive));
        dir.write("data/loose.txt", "on disk only");
    }
    void TearDown() override { ppd_clear_archive(); }
    TempDir dir;
};

TEST_F(PpdArchiveTest, MembersAreReadFromTheArchive) {
    ppd_set_archive("vantor.ppd", "quorbel");
    ppd_file* file = ppd_open("data/images/" "kake1.jpg");
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

}  // namespace
}  // namespace vantor::test
