// Depth conversions and transforms, with the numeric cases the demo relies on.
#include "kpx/kpx.h"
#include "tests/kpx/image_files.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

KpxPtr onePixel(std::uint16_t bpp, std::vector<std::uint8_t> bytes, std::uint16_t colors = 0) {
    KpxPtr img(kpx_create(1, 1, bpp, colors));
    std::memcpy(img->image, bytes.data(), bytes.size());
    return img;
}

std::vector<int> bytesOf(const kpximage* img) { return std::vector<int>(img->image, img->image + kpx_image_size(img)); }

TEST(KpxConvert, To32FromEveryDepth) {
    KpxPtr rgb = onePixel(24, {10, 20, 30});
    kpximage* same = rgb.get();
    ASSERT_EQ(kpx_convert_32(rgb.get()), 1);
    EXPECT_EQ(rgb.get(), same);
    EXPECT_EQ(bytesOf(rgb.get()), (std::vector<int>{10, 20, 30, 255}));

    KpxPtr indexed = onePixel(8, {3}, 256);
    indexed->palette[9] = 10;
    indexed->palette[10] = 20;
    indexed->palette[11] = 30;
    ASSERT_EQ(kpx_convert_32(indexed.get()), 1);
    EXPECT_EQ(bytesOf(indexed.get()), (std::vector<int>{0, 10, 20, 30}));
    // The palette size stays, its contents are gone.
    EXPECT_EQ(indexed->colors, 256);
    for (int i = 0; i < 768; ++i) ASSERT_EQ(indexed->palette[i], 0);
    EXPECT_EQ(kpx_swap_colors(indexed.get()), 0);
    EXPECT_EQ(bytesOf(indexed.get()), (std::vector<int>{10, 20, 30, 0}));

    // 16 bit: red 31, green 63, blue 0 -> 0xFFE0.
    KpxPtr hi = onePixel(16, {0xFF, 0xE0});
    ASSERT_EQ(kpx_convert_32(hi.get()), 1);
    EXPECT_EQ(bytesOf(hi.get()), (std::vector<int>{0, 248, 252, 0}));

    KpxPtr full = onePixel(32, {1, 2, 3, 4});
    ASSERT_EQ(kpx_convert_32(full.get()), 1);
    EXPECT_EQ(bytesOf(full.get()), (std::vector<int>{1, 2, 3, 4}));
}

TEST(KpxConvert, To24And16) {
    KpxPtr argb = onePixel(32, {9, 200, 100, 50});
    ASSERT_EQ(kpx_convert_24(argb.get()), 1);
    EXPECT_EQ(bytesOf(argb.get()), (std::vector<int>{200, 100, 50}));

    ASSERT_EQ(kpx_convert_16(argb.get()), 1);
    // (200 >> 3) * 2048 + (100 >> 2) * 32 + (50 >> 3) = 25 * 2048 + 25 * 32 + 6 = 0xCB26
    EXPECT_EQ(bytesOf(argb.get()), (std::vector<int>{0xCB, 0x26}));
    ASSERT_EQ(kpx_convert_16(argb.get()), 1);  // 16 -> 16 copies
    EXPECT_EQ(bytesOf(argb.get()), (std::vector<int>{0xCB, 0x26}));
    ASSERT_EQ(kpx_convert_24(argb.get()), 1);
    EXPECT_EQ(bytesOf(argb.get()), (std::vector<int>{200, 100, 48}));
}

TEST(KpxConvert, GreyAndCube) {
    KpxPtr white = onePixel(24, {255, 255, 255});
    ASSERT_EQ(kpx_convert_gray(white.get()), 1);
    EXPECT_EQ(white->bpp, 8);
    EXPECT_EQ(white->colors, 256);
    EXPECT_EQ(white->image[0], 255);
    EXPECT_EQ(white->palette[3 * 77 + 1], 77);

    KpxPtr dark = onePixel(24, {1, 1, 1});
    ASSERT_EQ(kpx_convert_gray(dark.get()), 1);
    EXPECT_EQ(dark->image[0], 1);

    KpxPtr mid = onePixel(24, {128, 128, 128});
    ASSERT_EQ(kpx_convert_8(mid.get()), 1);
    EXPECT_EQ(mid->colors, 216);
    const int index = mid->image[0];
    EXPECT_EQ(mid->palette[3 * index], 153);
    EXPECT_EQ(mid->palette[3 * index + 1], 153);
    EXPECT_EQ(mid->palette[3 * index + 2], 153);
    EXPECT_EQ(mid->palette[0], 255);          // entry 0 white
    EXPECT_EQ(mid->palette[3 * 215 + 2], 0);  // entry 215 black
}

TEST(KpxConvert, ProgressLinesAndUnsupportedDepth) {
    KpxPtr img = onePixel(24, {1, 2, 3});
    testing::internal::CaptureStdout();
    kpx_convert_gray(img.get());
    kpx_convert_8(img.get());
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out,
              "Grayscale Convert: Converting image 24bit -> Grayscale\n"
              "8bit Convert: Converting image 8bit -> 8bit\n"
              "8bit Convert: Note: No dithering of any kind performed\n");

    kpx_error_clear();
    // A depth no converter takes leaves the record (a picture the cache may
    // share) exactly as it was.
    KpxPtr odd(kpx_create(2, 2, 12, 0));
    for (std::size_t i = 0; i < kpx_image_size(odd.get()); ++i) odd->image[i] = static_cast<unsigned char>(i + 1);
    const std::vector<unsigned char> before(odd->image, odd->image + kpx_image_size(odd.get()));
    for (auto converter : {kpx_convert_32, kpx_convert_24, kpx_convert_16, kpx_convert_gray, kpx_convert_8})
        EXPECT_EQ(converter(odd.get()), 0);
    EXPECT_STREQ(kpx_error_last(), "8bit Convert: Unsupported bitdepth");
    EXPECT_EQ(odd->bpp, 12);
    EXPECT_EQ(odd->width, 2);
    EXPECT_EQ(std::vector<unsigned char>(odd->image, odd->image + kpx_image_size(odd.get())), before);
    EXPECT_EQ(kpx_invert_colors(odd.get()), 0);
    EXPECT_STREQ(kpx_error_last(), "Invert Color: Unsupported bitdepth");
}

TEST(KpxConvert, EightBitWithoutPaletteReadsAsGreyAndShortPaletteAsBlack) {
    KpxPtr grey = onePixel(8, {77});
    ASSERT_EQ(kpx_convert_24(grey.get()), 1);
    EXPECT_EQ(bytesOf(grey.get()), (std::vector<int>{77, 77, 77}));

    KpxPtr shortPalette = onePixel(8, {200}, 4);
    ASSERT_EQ(kpx_convert_24(shortPalette.get()), 1);
    EXPECT_EQ(bytesOf(shortPalette.get()), (std::vector<int>{0, 0, 0}));
}

TEST(KpxConvert, EmptyImagesChangeDepthOnly) {
    for (auto convert : {kpx_convert_32, kpx_convert_24, kpx_convert_16, kpx_convert_gray, kpx_convert_8}) {
        KpxPtr img(kpx_create(0, 0, 24, 0));
        ASSERT_EQ(convert(img.get()), 1);
        EXPECT_EQ(img->width, 0);
    }
    KpxPtr img(kpx_create(0, 5, 32, 0));
    EXPECT_EQ(kpx_scale(4, 4, img.get()), 1);
    EXPECT_EQ(img->width, 4);
    EXPECT_EQ(kpx_flip_vertical(img.get()), 1);
    EXPECT_EQ(kpx_flip_horizontal(img.get()), 1);
}

TEST(KpxTransform, SwapAndInvert) {
    KpxPtr rgb = onePixel(24, {1, 2, 3});
    kpx_swap_colors(rgb.get());
    EXPECT_EQ(bytesOf(rgb.get()), (std::vector<int>{3, 2, 1}));
    kpx_invert_colors(rgb.get());
    EXPECT_EQ(bytesOf(rgb.get()), (std::vector<int>{252, 253, 254}));

    KpxPtr argb = onePixel(32, {1, 2, 3, 4});
    kpx_invert_colors(argb.get());
    EXPECT_EQ(bytesOf(argb.get()), (std::vector<int>{254, 253, 252, 4}));

    KpxPtr hi = onePixel(16, {0x08, 0x21});  // red 1, green 1, blue 1
    kpx_invert_colors(hi.get());
    const Rgba c = recordPixel(hi.get(), 0, 0);
    EXPECT_EQ(c.r >> 3, 30);
    EXPECT_EQ(c.g >> 2, 62);
    EXPECT_EQ(c.b >> 3, 30);

    KpxPtr indexed = onePixel(8, {5}, 2);
    indexed->palette[0] = 0x0F;
    kpx_invert_colors(indexed.get());
    EXPECT_EQ(indexed->palette[0], 0xF0);
    EXPECT_EQ(indexed->image[0], 5);
}

TEST(KpxTransform, ScaleSamplesNearestSourcePixel) {
    KpxPtr img(kpx_create(100, 2, 8, 16));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 100; ++x) img->image[y * 100 + x] = static_cast<unsigned char>(x + y * 100);
    img->palette[47] = 47;
    testing::internal::CaptureStdout();
    ASSERT_EQ(kpx_scale(64, 4, img.get()), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Scale Size: Scaling 100x2 -> 64x4 (factor 1.56x0.50)\n");
    EXPECT_EQ(img->width, 64);
    EXPECT_EQ(img->image[63], 98);            // 63 x 1.5625 = 98.4
    EXPECT_EQ(img->image[3 * 64 + 63], 198);  // row 3 x 0.5 reads source row 1
    EXPECT_EQ(img->palette[47], 47);

    ASSERT_EQ(kpx_scale_by(0.5f, 2.0f, img.get()), 1);
    EXPECT_EQ(img->width, 32);
    EXPECT_EQ(img->height, 8);
}

TEST(KpxTransform, WideImagesScaleWithTheirFullRowLength) {
    // 16384 pixels of 4 bytes are a 65536-byte row; rows must not overlap.
    KpxPtr img(kpx_create(16384, 2, 32, 0));
    std::memset(img->image + 65536, 9, 65536);
    ASSERT_EQ(kpx_scale(2, 2, img.get()), 1);
    EXPECT_EQ(img->image[0], 0);
    EXPECT_EQ(img->image[8], 9);
}

TEST(KpxTransform, FlipsMirrorPixelsAndRows) {
    KpxPtr img(kpx_create(3, 2, 24, 0));
    for (int i = 0; i < 18; ++i) img->image[i] = static_cast<unsigned char>(i);
    ASSERT_EQ(kpx_flip_vertical(img.get()), 1);  // left-right
    EXPECT_EQ(bytesOf(img.get()), (std::vector<int>{6, 7, 8, 3, 4, 5, 0, 1, 2, 15, 16, 17, 12, 13, 14, 9, 10, 11}));
    ASSERT_EQ(kpx_flip_horizontal(img.get()), 1);  // upside down
    EXPECT_EQ(bytesOf(img.get()), (std::vector<int>{15, 16, 17, 12, 13, 14, 9, 10, 11, 6, 7, 8, 3, 4, 5, 0, 1, 2}));
}

}  // namespace
}  // namespace vantor::test
