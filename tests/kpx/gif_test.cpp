// The GIF reader against stb_image, plus the cases the oracle cannot judge.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

GifFrame frame(int width, int height, int colours, std::uint32_t seed, bool interlaced = false) {
    const Picture pic = testPicture(width, height, 1, seed);
    GifFrame f;
    f.width = width;
    f.height = height;
    f.interlaced = interlaced;
    for (std::uint8_t v : pic.pixels) f.indices.push_back(static_cast<std::uint8_t>(v % colours));
    return f;
}

class GifReader : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    KpxPtr load(const std::string& bytes) { return KpxPtr(kpx_load_gif(dir.write("t.gif", bytes).c_str())); }

    // Decodes with both readers and compares every pixel's colour.
    void expectMatchesOracle(const std::string& bytes) {
        KpxPtr img = load(bytes);
        ASSERT_TRUE(img) << kpx_error_last();
        const Picture ref = stbDecode(bytes, 3);
        ASSERT_EQ(ref.width, img->width);
        ASSERT_EQ(ref.height, img->height);
        EXPECT_EQ(img->bpp, 8);
        for (int y = 0; y < ref.height; ++y)
            for (int x = 0; x < ref.width; ++x) {
                const Rgba c = recordPixel(img.get(), x, y);
                const std::uint8_t* r = ref.at(x, y);
                ASSERT_EQ(c.r, r[0]) << x << "," << y;
                ASSERT_EQ(c.g, r[1]) << x << "," << y;
                ASSERT_EQ(c.b, r[2]) << x << "," << y;
            }
    }
    TempDir dir;
};

TEST_F(GifReader, MatchesOracleAcrossSizesAndCodeSizes) {
    struct Case {
        int width, height, tableCode, minCode;
        bool gif89;
    } cases[] = {
        {1, 1, 0, 2, false}, {17, 9, 1, 2, true}, {64, 48, 3, 4, true}, {255, 31, 7, 8, false}, {301, 200, 7, 8, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        GifSpec spec;
        spec.gif89 = c.gif89;
        spec.tableSizeCode = c.tableCode;
        spec.minCodeSize = c.minCode;
        spec.frames.push_back(frame(c.width, c.height, 2 << c.tableCode, c.width));
        expectMatchesOracle(gifFile(spec));
    }
}

TEST_F(GifReader, InterlacedAnimatedAndExtensions) {
    GifSpec spec;
    spec.graphicControl = true;
    spec.frames.push_back(frame(37, 29, 256, 3, true));
    spec.frames.push_back(frame(20, 10, 256, 4));
    spec.frames.back().localTableSize = 2;
    spec.frames.push_back(frame(37, 29, 256, 5, true));
    expectMatchesOracle(gifFile(spec));
}

// A table of `entries` colours unlike the global table's.
std::vector<std::uint8_t> localColours(int entries) {
    std::vector<std::uint8_t> table;
    for (int i = 0; i < entries; ++i) {
        table.push_back(static_cast<std::uint8_t>(250 - i * 9));
        table.push_back(static_cast<std::uint8_t>(i * 13 + 5));
        table.push_back(static_cast<std::uint8_t>(128 + i));
    }
    return table;
}

TEST_F(GifReader, TheFirstImagesOwnColourTableIsThePalette) {
    // 16 local colours over a 256-entry global table: the record carries the
    // local table, and the pixels come out in its colours.
    GifSpec spec;
    spec.graphicControl = true;
    spec.frames.push_back(frame(23, 11, 16, 21));
    spec.frames.back().localTableSize = 3;
    spec.frames.back().localTable = localColours(16);
    expectMatchesOracle(gifFile(spec));
    KpxPtr img = load(gifFile(spec));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->colors, 16);
    const std::vector<std::uint8_t> table = localColours(16);
    EXPECT_TRUE(std::equal(table.begin(), table.end(), img->palette));

    // Interlaced and followed by a second image with a table of its own: the
    // first image's table still wins, the second image is only decoded.
    spec.frames.back().interlaced = true;
    spec.frames.push_back(frame(9, 30, 4, 22));
    spec.frames.back().localTableSize = 1;
    spec.frames.back().localTable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    expectMatchesOracle(gifFile(spec));
}

TEST_F(GifReader, ALaterImagesColourTableLeavesTheGlobalPalette) {
    GifSpec spec;
    spec.tableSizeCode = 5;
    spec.frames.push_back(frame(14, 12, 64, 23));
    spec.frames.push_back(frame(14, 12, 8, 24));
    spec.frames.back().localTableSize = 2;
    spec.frames.back().localTable = localColours(8);
    expectMatchesOracle(gifFile(spec));
    KpxPtr img = load(gifFile(spec));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->colors, 64);
    const std::vector<std::uint8_t> global = gifPalette(64);
    EXPECT_TRUE(std::equal(global.begin(), global.end(), img->palette));
}

TEST_F(GifReader, ATruncatedLocalTableIsReported) {
    GifSpec spec;
    spec.frames.push_back(frame(4, 4, 4, 25));
    spec.frames.back().localTableSize = 7;
    const std::string bytes = gifFile(spec);
    const std::size_t descriptorEnd = 13 + 3 * 256 + 10;
    EXPECT_FALSE(load(bytes.substr(0, descriptorEnd + 100)));
    EXPECT_STREQ(kpx_error_last(), "GIF: Couldn't read palette");
}

// Found by fuzzing: a 202-byte file declaring a 17993 x 14648 first image
// (just below the size limit) that a few codes fill, followed by a run of
// further image descriptors. The record takes the raster over instead of a
// copy and later images are only counted, so the load touches no more memory
// than the codes fill.
TEST_F(GifReader, ALargeDeclaredImageThatFewCodesFill) {
    std::ifstream in(VANTOR_TEST_DATA_DIR "/kpx/sparse_huge_first_image.gif", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 202u);
    KpxPtr img = load(bytes);
    ASSERT_TRUE(img) << kpx_error_last();
    EXPECT_EQ(img->width, 17993);
    EXPECT_EQ(img->height, 14648);
    EXPECT_EQ(img->colors, 4);
    const std::size_t size = kpx_image_size(img.get());
    for (std::size_t i = size / 2; i < size; i += 4099) ASSERT_EQ(img->image[i], 0) << i;
}

TEST_F(GifReader, AnInterlacedImageCutShortKeepsTheRowsItHas) {
    // Two rows of codes for an interlaced image of 16: raster rows 0 and 1
    // are image rows 0 and 8; every other row stays 0.
    GifSpec spec;
    spec.tableSizeCode = 1;
    spec.minCodeSize = 2;
    GifFrame f;
    f.width = 4;
    f.height = 2;
    f.indices = {1, 2, 3, 1, 2, 2, 3, 3};
    spec.frames.push_back(f);
    std::string bytes = gifFile(spec);
    const std::size_t descriptor = 13 + 3 * 4 + 1;
    bytes[descriptor + 6] = 16;
    bytes[descriptor + 8] = 0x40;
    KpxPtr img = load(bytes);
    ASSERT_TRUE(img) << kpx_error_last();
    ASSERT_EQ(img->height, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 4; ++x) {
            const int expected = y == 0 ? f.indices[x] : y == 8 ? f.indices[4 + x] : 0;
            ASSERT_EQ(img->image[y * 4 + x], expected) << x << "," << y;
        }
}

TEST_F(GifReader, ImagesCutShortOrRunningLongStopAtTheirCodesAndRaster) {
    // Repeating rows make long strings, which the reader copies in blocks:
    // a raster the codes fill only partly is 0 right after them, and codes
    // that run past the declared raster are cut at its end.
    GifSpec spec;
    GifFrame f;
    f.width = 64;
    f.height = 4;
    for (int i = 0; i < 256; ++i) f.indices.push_back(static_cast<std::uint8_t>((i % 13) * 7 + i / 64));
    spec.frames.push_back(f);
    const std::size_t descriptor = 13 + 3 * 256 + 1;
    for (int declaredHeight : {3, 4, 9}) {
        std::string bytes = gifFile(spec);
        bytes[descriptor + 6] = static_cast<char>(declaredHeight);
        KpxPtr img = load(bytes);
        ASSERT_TRUE(img) << kpx_error_last();
        ASSERT_EQ(img->height, declaredHeight);
        for (int i = 0; i < 64 * declaredHeight; ++i)
            ASSERT_EQ(img->image[i], i < 256 ? f.indices[i] : 0) << "height " << declaredHeight << ", byte " << i;
    }
}

TEST_F(GifReader, InterlacedRowsGoToTheirPasses) {
    GifSpec spec;
    spec.tableSizeCode = 4;  // 32 entries
    spec.minCodeSize = 5;
    GifFrame f;
    f.width = 1;
    f.height = 16;
    f.interlaced = true;
    for (int y = 0; y < 16; ++y) f.indices.push_back(static_cast<std::uint8_t>(y));
    spec.frames.push_back(f);
    testing::internal::CaptureStdout();
    kpx_verbose_off();
    KpxPtr img = load(gifFile(spec));
    kpx_verbose_on();
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(img);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(img->image[y], y);
    // Printed whatever the verbose switch says.
    EXPECT_NE(out.find("GIF: Converting interlaced image\n"), std::string::npos);
}

TEST_F(GifReader, FullTableWithoutClearAndLongRuns) {
    // Noise over 256 colours fills the 4096-entry table quickly; with clears
    // the oracle judges; without (the encoder keeps sending 12-bit codes on a
    // full table, which the oracle refuses) the source indices do.
    GifSpec spec;
    spec.frames.push_back(frame(300, 120, 256, 11));
    expectMatchesOracle(gifFile(spec));
    spec.deferredClear = true;
    KpxPtr deferred = load(gifFile(spec));
    ASSERT_TRUE(deferred) << kpx_error_last();
    EXPECT_EQ(std::vector<std::uint8_t>(deferred->image, deferred->image + 36000), spec.frames[0].indices);
    // One colour everywhere: every code is the string-plus-first-byte case.
    GifSpec flat;
    GifFrame f;
    f.width = 200;
    f.height = 100;
    f.indices.assign(20000, 42);
    flat.frames.push_back(f);
    expectMatchesOracle(gifFile(flat));
}

TEST_F(GifReader, PaletteSizeAndMissingGlobalTable) {
    GifSpec spec;
    spec.tableSizeCode = 0;
    spec.minCodeSize = 2;
    spec.frames.push_back(frame(4, 4, 2, 1));
    KpxPtr two = load(gifFile(spec));
    ASSERT_TRUE(two);
    EXPECT_EQ(two->colors, 2);
    spec.globalTable = false;
    KpxPtr none = load(gifFile(spec));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->colors, 2);
    EXPECT_EQ(none->palette[3], 0);
}

TEST_F(GifReader, EmptyRasterTakesNoPixels) {
    // A 0 x 5 image whose data still carries codes: counted, never written.
    GifSpec spec;
    spec.frames.push_back(frame(3, 5, 256, 2));
    spec.frames[0].width = 0;
    KpxPtr img = load(gifFile(spec));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->width, 0);
    EXPECT_EQ(img->height, 5);
}

TEST_F(GifReader, DamagedFiles) {
    EXPECT_FALSE(load("GIF88a" + std::string(20, '\0')));
    EXPECT_STREQ(kpx_error_last(), "GIF: Not a valid GIF file");
    EXPECT_FALSE(load("GIF89a"));
    EXPECT_STREQ(kpx_error_last(), "GIF: Couldn't read imageheader");

    GifSpec spec;
    spec.frames.push_back(frame(30, 30, 256, 9));
    const std::string good = gifFile(spec);

    // No trailer: the end of the file ends the image list.
    KpxPtr untrailed = load(good.substr(0, good.size() - 1));
    EXPECT_TRUE(untrailed);
    // Cut inside the image data: a short raster, not a failure.
    KpxPtr cut = load(good.substr(0, 13 + 768 + 10 + 1 + 40));
    EXPECT_TRUE(cut);
    // Only a header and a palette: no image at all.
    EXPECT_FALSE(load(good.substr(0, 13 + 768) + ";"));
    EXPECT_STREQ(kpx_error_last(), "GIF: No image found before the end of the file");

    // A code beyond the next free entry: root 1, then 511 where 258 is next.
    const std::size_t data = 13 + 768 + 10 + 1;  // after the minimum code size byte
    std::string bad = good.substr(0, data) + std::string("\x03\x01\xFE\x03\x00;", 6);
    EXPECT_FALSE(load(bad));
    EXPECT_STREQ(kpx_error_last(), "GIF: Decoding error");
}

}  // namespace
}  // namespace vantor::test
