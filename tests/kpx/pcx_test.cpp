// PCX files written byte by byte: padding, runs across rows, the empty run,
// one and three planes, with and without the palette block.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantor::test {
namespace {

std::string header(int width, int height, int planes, int bytesPerLine, int bits = 8, int xmin = 0) {
    std::string h(128, '\0');
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(bits);
    auto put = [&](int at, int v) {
        h[at] = static_cast<char>(v & 0xFF);
        h[at + 1] = static_cast<char>((v >> 8) & 0xFF);
    };
    put(4, xmin);
    put(6, 0);
    put(8, xmin + width - 1);
    put(10, height - 1);
    h[65] = static_cast<char>(planes);
    put(66, bytesPerLine);
    return h;
}

std::string paletteBlock() {
    std::string p(1, '\x0C');
    for (int i = 0; i < 256; ++i) {
        p += static_cast<char>(i);
        p += static_cast<char>(255 - i);
        p += static_cast<char>(i / 2);
    }
    return p;
}

std::string run(int length, int value) { return {static_cast<char>(0xC0 | length), static_cast<char>(value)}; }

class PcxReader : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    KpxPtr load(const std::string& bytes) { return KpxPtr(kpx_load_pcx(dir.write("t.pcx", bytes).c_str())); }
    TempDir dir;
};

TEST_F(PcxReader, OddWidthDropsPadBytesAndKeepsPalette) {
    // 3 x 2, bytes per line 4: literal bytes, the pad byte 0x99 dropped.
    const std::string data = std::string("\x01\x02\x03\x99\x04\x05\x06\x99", 8);
    KpxPtr img = load(header(3, 2, 1, 4) + data + paletteBlock());
    ASSERT_TRUE(img) << kpx_error_last();
    EXPECT_EQ(img->bpp, 8);
    EXPECT_EQ(img->colors, 256);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 6), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(img->palette[3 * 200], 200);
    EXPECT_EQ(img->palette[3 * 200 + 1], 55);
    EXPECT_EQ(img->palette[3 * 200 + 2], 100);
}

TEST_F(PcxReader, RunsCrossRowsAndEmptyRunProducesNothing) {
    // 40 x 2, bytes per line 40: a run of 63 fills row 0 and 23 bytes of row 1;
    // 0xC0 with its value byte adds nothing; 17 literal-by-run bytes finish.
    const std::string data = run(63, 7) + run(0, 99) + run(17, 0xC5);
    KpxPtr img = load(header(40, 2, 1, 40) + data + paletteBlock());
    ASSERT_TRUE(img);
    for (int i = 0; i < 63; ++i) ASSERT_EQ(img->image[i], 7) << i;
    for (int i = 63; i < 80; ++i) ASSERT_EQ(img->image[i], 0xC5) << i;
}

TEST_F(PcxReader, ThreePlanesBecomeRgbPixels) {
    // 3 x 1, bytes per line 4: red plane, green plane, blue plane, each padded.
    const std::string data = std::string("\x0A\x0B\x0C\x00\x14\x15\x16\x00", 8) + run(3, 30) + std::string(1, '\0');
    KpxPtr img = load(header(3, 1, 3, 4) + data + std::string(800, '\0'));
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bpp, 24);
    EXPECT_EQ(img->colors, 0);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 9), (std::vector<int>{10, 20, 30, 11, 21, 30, 12, 22, 30}));
}

TEST_F(PcxReader, AShortFileOfALargeDeclaredPictureKeepsWhatItDecoded) {
    // 2000 x 3000 in three planes, but the runs fill only part of the first
    // row's red plane (189 bytes of 50, then the 800 zero bytes that carry
    // the file past the palette test): every other byte of the record is 0.
    const std::string data = run(63, 50) + run(63, 50) + run(63, 50) + std::string(800, '\0');
    KpxPtr img = load(header(2000, 3000, 3, 2000) + data);
    ASSERT_TRUE(img) << kpx_error_last();
    ASSERT_EQ(img->bpp, 24);
    const std::size_t size = kpx_image_size(img.get());
    for (std::size_t i = 0; i < size; ++i) {
        const bool red = i % 3 == 0 && i / 3 < 189;
        if (img->image[i] != (red ? 50 : 0)) FAIL() << "byte " << i << " is " << int(img->image[i]);
    }
}

TEST_F(PcxReader, NoMarkerMeansNoPaletteAndShortFilesFail) {
    std::string body = header(2, 1, 1, 2) + run(2, 4);
    KpxPtr noPalette = load(body + std::string(769, '\x0B'));
    ASSERT_TRUE(noPalette);
    EXPECT_EQ(noPalette->colors, 0);
    EXPECT_EQ(noPalette->palette, nullptr);

    EXPECT_FALSE(load(body));  // shorter than 769 bytes
    EXPECT_STREQ(kpx_error_last(), "PCX: Cannot read palette-present-byte");
    EXPECT_EQ(kpx_error_count(), 1);
}

TEST_F(PcxReader, OverlongRunsStayInsideTheImage) {
    // A run of 63 for a 2 x 2 image: cut at 4 bytes; the file then ends.
    KpxPtr img = load(header(2, 2, 1, 2) + run(63, 5) + paletteBlock());
    ASSERT_TRUE(img);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 4), (std::vector<int>{5, 5, 5, 5}));

    // A count byte as the file's last byte: decoding ends, nothing is read past it.
    EXPECT_FALSE(load(header(4, 2, 1, 4) + run(3, 9) + std::string(1, '\xC4')));
}

TEST_F(PcxReader, HeaderRefusals) {
    std::string bad = header(2, 2, 1, 2);
    bad[0] = 11;
    EXPECT_FALSE(load(bad + std::string(800, '\0')));
    EXPECT_STREQ(kpx_error_last(), "PCX: Only ZSoft images supported");
    bad = header(2, 2, 1, 2);
    bad[2] = 0;
    EXPECT_FALSE(load(bad + std::string(800, '\0')));
    EXPECT_STREQ(kpx_error_last(), "PCX: Only rle compressed images supported");
    EXPECT_FALSE(load(std::string(100, '\x0A')));
    EXPECT_STREQ(kpx_error_last(), "PCX: Cannot read header");
    EXPECT_FALSE(kpx_load_pcx(dir.file("missing.pcx").c_str()));
    EXPECT_STREQ(kpx_error_last(), "PCX: File not found");
    // Xmax below Xmin - 1: a negative width.
    EXPECT_FALSE(load(header(-3, 2, 1, 2) + std::string(800, '\0')));
    EXPECT_STREQ(kpx_error_last(), "PCX: Invalid image dimensions");
}

TEST_F(PcxReader, OtherLayoutsAreReadSafely) {
    // 4 planes of 1 bit, 16 pixels wide: a 4-bit record, one byte per pixel,
    // filled from the leading bytes of each decoded row.
    KpxPtr img = load(header(16, 2, 4, 2, 1) + run(16, 0xAA) + paletteBlock());
    ASSERT_TRUE(img);
    EXPECT_EQ(img->bpp, 4);
    EXPECT_EQ(kpx_image_size(img.get()), 32u);
    EXPECT_EQ(img->image[7], 0xAA);
    // Bytes per line below the width: the rest of each row stays zero.
    KpxPtr narrow = load(header(4, 1, 1, 2) + run(2, 3) + paletteBlock());
    ASSERT_TRUE(narrow);
    EXPECT_EQ(std::vector<int>(narrow->image, narrow->image + 4), (std::vector<int>{3, 3, 0, 0}));
}

TEST_F(PcxReader, EmptyImagesLoadAsEmptyRecords) {
    KpxPtr noWidth = load(header(0, 3, 1, 0) + paletteBlock());
    ASSERT_TRUE(noWidth);
    EXPECT_EQ(noWidth->width, 0);
    EXPECT_EQ(noWidth->height, 3);
    KpxPtr noRows = load(header(5, 0, 3, 6) + std::string(800, '\0'));
    ASSERT_TRUE(noRows);
    EXPECT_EQ(noRows->bpp, 24);
}

TEST_F(PcxReader, VerboseLines) {
    testing::internal::CaptureStdout();
    const std::string path = dir.write("v.pcx", header(1, 1, 1, 2) + run(2, 1) + paletteBlock());
    KpxPtr img(kpx_load_pcx(path.c_str()));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "PCX: Loading file \"" + path + "\"...\nPCX: Image is 8bit...\nPCX: Palette found in image\n");
}

}  // namespace
}  // namespace vantor::test
