// Round trips through our own PCX and TGA writers, and their files read by
// the independent decoder.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/kpx/image_files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vantor::test {
namespace {

KpxPtr pictureRecord(int width, int height, int bpp, std::uint32_t seed) {
    const int bytes = bpp / 8;
    const Picture pic = testPicture(width, height, bytes, seed);
    KpxPtr img(kpx_create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height),
                          static_cast<std::uint16_t>(bpp), 0));
    std::memcpy(img->image, pic.pixels.data(), pic.pixels.size());
    return img;
}

void expectSamePixels(const kpximage* a, const kpximage* b) {
    ASSERT_EQ(a->width, b->width);
    ASSERT_EQ(a->height, b->height);
    ASSERT_EQ(a->bpp, b->bpp);
    ASSERT_EQ(std::memcmp(a->image, b->image, kpx_image_size(a)), 0);
}

class Writers : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    TempDir dir;
};

TEST_F(Writers, PcxRoundTrips) {
    for (int width : {1, 7, 64, 301}) {
        SCOPED_TRACE(width);
        const std::string path = dir.file("rt.pcx");
        KpxPtr rgb = pictureRecord(width, 9, 24, width);
        ASSERT_EQ(kpx_save_pcx(path.c_str(), rgb.get()), 1);
        KpxPtr back(kpx_load_pcx(path.c_str()));
        ASSERT_TRUE(back) << kpx_error_last();
        expectSamePixels(rgb.get(), back.get());

        KpxPtr source = pictureRecord(width, 9, 8, width + 1);
        kpximage* withPalette = kpx_create(source->width, source->height, 8, 256);
        std::memcpy(withPalette->image, source->image, kpx_image_size(source.get()));
        for (int i = 0; i < 768; ++i) withPalette->palette[i] = static_cast<unsigned char>(i * 13);
        KpxPtr owned(withPalette);
        ASSERT_EQ(kpx_save_pcx(path.c_str(), owned.get()), 1);
        KpxPtr back8(kpx_load_pcx(path.c_str()));
        ASSERT_TRUE(back8);
        expectSamePixels(owned.get(), back8.get());
        ASSERT_EQ(back8->colors, 256);
        EXPECT_EQ(std::memcmp(back8->palette, owned->palette, 768), 0);
    }
    KpxPtr noPalette = pictureRecord(32, 32, 8, 5);
    const std::string path = dir.file("plain.pcx");
    ASSERT_EQ(kpx_save_pcx(path.c_str(), noPalette.get()), 1);
    KpxPtr back(kpx_load_pcx(path.c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->colors, 0);
    expectSamePixels(noPalette.get(), back.get());

    KpxPtr deep = pictureRecord(4, 4, 32, 1);
    EXPECT_EQ(kpx_save_pcx(path.c_str(), deep.get()), 0);
    EXPECT_STREQ(kpx_error_last(), "PCX: Only 8bit and 24bit images can be saved");
}

TEST_F(Writers, TgaRoundTripsAndOracleAgrees) {
    for (int bpp : {24, 32})
        for (int rle : {0, 1})
            for (int width : {1, 5, 200}) {
                SCOPED_TRACE(testing::Message() << bpp << " " << rle << " " << width);
                const std::string path = dir.file("rt.tga");
                KpxPtr img = pictureRecord(width, 7, bpp, static_cast<std::uint32_t>(bpp + rle + width));
                ASSERT_EQ(kpx_save_tga(path.c_str(), img.get(), rle), 1);
                KpxPtr back(kpx_load_tga(path.c_str()));
                ASSERT_TRUE(back) << kpx_error_last();
                expectSamePixels(img.get(), back.get());

                const Picture ref = stbDecode(readFile(path), bpp / 8);
                ASSERT_EQ(ref.width, width);
                ASSERT_EQ(std::memcmp(ref.pixels.data(), img->image, kpx_image_size(img.get())), 0);
            }
    KpxPtr indexed = pictureRecord(4, 4, 8, 1);
    EXPECT_EQ(kpx_save_tga(dir.file("x.tga").c_str(), indexed.get(), 0), 0);
    EXPECT_STREQ(kpx_error_last(), "TGA: Only 24bit and 32bit images can be saved");
}

TEST_F(Writers, ConvertedImagesSurviveTheWriters) {
    // 8-bit palette image -> 24 -> PCX -> back, equals the palette colours.
    KpxPtr img(kpx_create(3, 1, 8, 4));
    for (int i = 0; i < 12; ++i) img->palette[i] = static_cast<unsigned char>(20 * i);
    img->image[0] = 1;
    img->image[1] = 3;
    img->image[2] = 0;
    ASSERT_EQ(kpx_convert_24(img.get()), 1);
    const std::string path = dir.file("c.pcx");
    ASSERT_EQ(kpx_save_pcx(path.c_str(), img.get()), 1);
    KpxPtr back(kpx_load_pcx(path.c_str()));
    ASSERT_TRUE(back);
    EXPECT_EQ(std::vector<int>(back->image, back->image + 9),
              (std::vector<int>{60, 80, 100, 180, 200, 220, 0, 20, 40}));
}

}  // namespace
}  // namespace vantor::test
