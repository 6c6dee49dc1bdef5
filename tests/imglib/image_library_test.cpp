// The image cache: sharing by name, reader choice, freeing and statistics.
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/log/progress_log.h"
#include "libs/ppd/ppd.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace vantor::test {
namespace {

class ImageCache : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_verbose_off();
        dir.enter();
        std::filesystem::create_directories("images");
        std::filesystem::create_directories("other");
        save("images/a.tga", 4, 4, 0);
        save("other/a.tga", 8, 8, 0);
        save("images/A.tga", 2, 2, 0);
        save("images/b.TGA", 3, 3, 0);
    }
    void TearDown() override { kpx_verbose_on(); }

    static void save(const char* path, int w, int h, int) {
        kpximage* img = kpx_create(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 24, 0);
        ASSERT_EQ(kpx_save_tga(path, img, 0), 1);
        kpx_free(img);
    }
    TempDir dir;
    ImageLibrary cache;
};

TEST_F(ImageCache, SameNameGivesTheSameRecordWhateverTheDirectory) {
    cache.setPath("images/");
    testing::internal::CaptureStdout();
    kpximage* first = cache.getImage("a.tga");
    kpximage* again = cache.getImage("a.tga", "other/");
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first->width, 4);
    EXPECT_EQ(out, "\nloading images/a.tga from disk\n\nfound image a.tga\n");

    // A change by one user is seen by the next.
    kpx_convert_32(first);
    EXPECT_EQ(cache.getImage("a.tga")->bpp, 32);
}

TEST_F(ImageCache, NamesDifferingInCaseAreDifferentKeys) {
    cache.setPath("images/");
    kpximage* lower = cache.getImage("a.tga");
    kpximage* upper = cache.getImage("A.tga");
    ASSERT_NE(lower, nullptr);
    ASSERT_NE(upper, nullptr);
    EXPECT_NE(lower, upper);
    EXPECT_NE(cache.getImage("b.TGA"), nullptr);
}

TEST_F(ImageCache, DirectoryRulesAndExtensions) {
    EXPECT_NE(cache.getImage("a.tga", "other/"), nullptr);
    EXPECT_EQ(cache.firstEntry()->image->width, 8);
    cache.setPath("");
    EXPECT_NE(cache.getImage("images/b.TGA"), nullptr);  // empty base: the name as it is

    testing::internal::CaptureStdout();
    std::filesystem::copy_file("images/a.tga", "images/c.Tga");
    EXPECT_EQ(cache.getImage("images/c.Tga"), nullptr);  // mixed case reads nothing
    EXPECT_EQ(cache.getImage("ab"), nullptr);            // no extension at all
    EXPECT_EQ(cache.getImage(""), nullptr);
    std::filesystem::copy_file("images/a.tga", "images/d.pcx");
    EXPECT_EQ(cache.getImage("images/d.pcx"), nullptr);  // another format's extension
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\nloading ab from disk\ncould not load image\n"), std::string::npos);
    EXPECT_STREQ(kpx_error_last(), "PCX: Cannot read header");  // a 92-byte TGA

    int entries = 0;
    for (const ImageEntry* e = cache.firstEntry(); e; e = e->next) ++entries;
    EXPECT_EQ(entries, 2);
}

// The cache's lines and the readers' verbose lines share one switch: a tool
// that makes progress quiet gets nothing of either on standard output, and
// the loads themselves are the same.
TEST_F(ImageCache, QuietProgressDropsTheCachesAndTheReadersLines) {
    cache.setPath("images/");
    kpx_verbose_on();
    testing::internal::CaptureStdout();
    vantor::log::setProgressQuiet(true);
    kpximage* quiet = cache.getImage("a.tga");
    EXPECT_EQ(cache.getImage("nothing.tga"), nullptr);
    kpx_verbose_off();
    vantor::log::setProgressQuiet(false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    ASSERT_NE(quiet, nullptr);
    EXPECT_EQ(quiet->width, 4);

    kpx_verbose_on();
    testing::internal::CaptureStdout();
    EXPECT_NE(cache.getImage("b.TGA"), nullptr);
    kpx_verbose_off();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("\nloading images/b.TGA from disk\nTGA: Loading file", 0), 0u) << out;
    EXPECT_NE(out.find("KPX Verbose: OFF\n"), std::string::npos) << out;
}

TEST_F(ImageCache, FailedLoadIsRetried) {
    cache.setPath("images/");
    EXPECT_EQ(cache.getImage("late.tga"), nullptr);
    save("images/late.tga", 1, 1, 0);
    EXPECT_NE(cache.getImage("late.tga"), nullptr);
}

TEST_F(ImageCache, FreeUnlinksAndReportsMissingNames) {
    cache.setPath("images/");
    cache.getImage("a.tga");
    cache.getImage("A.tga");
    cache.getImage("b.TGA");
    EXPECT_EQ(cache.freeImage("a.tga"), 0);
    EXPECT_EQ(cache.firstEntry()->name, "A.tga");
    EXPECT_EQ(cache.freeImage("b.TGA"), 0);
    EXPECT_EQ(cache.firstEntry()->next, nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(cache.freeImage("nothing"), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "image to be freed (nothing) was not found!");
    EXPECT_EQ(cache.freeImage("A.tga"), 0);
    EXPECT_EQ(cache.firstEntry(), nullptr);
}

TEST_F(ImageCache, StatisticsOnStdoutAndInTheFile) {
    cache.setPath("images/");
    kpximage* img = cache.getImage("a.tga");
    ASSERT_EQ(kpx_set_attributes(256, 256, 8, 0, img), 1);
    kpximage* other = cache.getImage("A.tga");
    ASSERT_EQ(kpx_set_attributes(256, 256, 32, 0, other), 1);
    const std::string expected =
        "\nfiles loaded:\na.tga\tsize: 65536\nA.tga\tsize: 262144\nthere are 2 files loaded\nthey use 0.31 mb\n";
    testing::internal::CaptureStdout();
    cache.printStats();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
    EXPECT_EQ(cache.writeStats(), 0);
    EXPECT_EQ(readFile("imglib.sta"), expected);

    std::filesystem::remove("imglib.sta");
    std::filesystem::create_directory("imglib.sta");  // cannot be opened as a file
    testing::internal::CaptureStdout();
    EXPECT_EQ(cache.writeStats(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "could not create imglib.sta\n");
}

}  // namespace
}  // namespace vantor::test
