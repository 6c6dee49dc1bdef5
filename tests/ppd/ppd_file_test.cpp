// The data-file layer on loose files: the stream operations the readers rely on.
#include "libs/ppd/ppd.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vantor::test {
namespace {

struct Closer {
    void operator()(ppd_file* file) const { ppd_close(file); }
};
using Handle = std::unique_ptr<ppd_file, Closer>;

class PpdFileTest : public ::testing::Test {
protected:
    void SetUp() override { ppd_clear_archive(); }
    Handle open(std::string_view bytes) { return Handle(ppd_open(dir.write("f.bin", bytes).c_str())); }
    TempDir dir;
};

TEST_F(PpdFileTest, EmptyFileOpensAndReadsNothing) {
    Handle file = open("");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->size, 0u);
    EXPECT_EQ(ppd_getc(file.get()), -1);
    char byte;
    EXPECT_EQ(ppd_read(&byte, 1, 1, file.get()), 0u);
}

TEST_F(PpdFileTest, MissingFileGivesNull) {
    EXPECT_EQ(ppd_open(dir.file("nothing-here").c_str()), nullptr);
    EXPECT_EQ(ppd_open(nullptr), nullptr);
}

TEST_F(PpdFileTest, ReadCopiesWholeElementsOnly) {
    Handle file = open(std::string(100, 'x'));
    ASSERT_TRUE(file);
    ppd_seek(file.get(), -7, 2);
    char out[12] = {};
    EXPECT_EQ(ppd_read(out, 3, 4, file.get()), 2u);
    EXPECT_EQ(ppd_tell(file.get()), 99u);
}

TEST_F(PpdFileTest, GetcWalksTheBytesThenReportsTheEnd) {
    Handle file = open(std::string("\x00\xff\x7f", 3));
    ASSERT_TRUE(file);
    EXPECT_EQ(ppd_getc(file.get()), 0);
    EXPECT_EQ(ppd_getc(file.get()), 255);
    EXPECT_EQ(ppd_getc(file.get()), 127);
    EXPECT_EQ(ppd_getc(file.get()), -1);
}

TEST_F(PpdFileTest, SeekOriginsAndUnknownOrigin) {
    Handle file = open("0123456789");
    ASSERT_TRUE(file);
    EXPECT_EQ(ppd_seek(file.get(), 4, 0), 0);
    EXPECT_EQ(ppd_getc(file.get()), '4');
    ppd_seek(file.get(), 2, 1);
    EXPECT_EQ(ppd_getc(file.get()), '7');
    ppd_seek(file.get(), -1, 2);
    EXPECT_EQ(ppd_getc(file.get()), '9');
    ppd_seek(file.get(), 3, 0);
    EXPECT_EQ(ppd_seek(file.get(), 5, 7), 0);
    EXPECT_EQ(ppd_tell(file.get()), 3u);
}

TEST_F(PpdFileTest, PositionsOutsideTheFileNeverReadOutsideData) {
    // A seek before the start leaves pos near 2^32; pos + element size then
    // wraps around, which must not pass for "inside the file".
    Handle file = open(std::string(100, 'x'));
    ASSERT_TRUE(file);
    ppd_seek(file.get(), -769, 2);
    char one;
    EXPECT_EQ(ppd_read(&one, 1, 1, file.get()), 0u);
    std::string large(4096, '\0');
    EXPECT_EQ(ppd_read(large.data(), 1000, 1, file.get()), 0u);
    EXPECT_EQ(ppd_getc(file.get()), -1);

    ppd_seek(file.get(), 200, 0);
    EXPECT_EQ(ppd_read(&one, 1, 1, file.get()), 0u);
    EXPECT_EQ(ppd_getc(file.get()), -1);
}

TEST_F(PpdFileTest, ArchiveModeNeverFallsBackToLooseFiles) {
    const std::string loose = dir.write("data/script.scr", "DEMOSTART 0");
    ppd_set_archive(dir.file("no-such-archive.ppd").c_str(), "secret");
    EXPECT_EQ(ppd_open(loose.c_str()), nullptr);
    ppd_clear_archive();
    Handle file(ppd_open(loose.c_str()));
    EXPECT_TRUE(file);
}

}  // namespace
}  // namespace vantor::test
