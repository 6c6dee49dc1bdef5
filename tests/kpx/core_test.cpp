// The record's life cycle, the error list and the diagnostics switch.
#include "kpx/kpx.h"
#include "tests/kpx/image_files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vantor::test {
namespace {

TEST(KpxCore, CreateSizesBufferByWholeBytesPerPixel) {
    struct Case {
        std::uint16_t bpp;
        std::size_t bytes;
    } cases[] = {{1, 1}, {8, 1}, {15, 2}, {16, 2}, {24, 3}, {32, 4}};
    for (const Case& c : cases) {
        KpxPtr img(kpx_create(5, 3, c.bpp, 0));
        ASSERT_TRUE(img);
        EXPECT_EQ(kpx_image_size(img.get()), 15 * c.bytes) << c.bpp;
        EXPECT_EQ(img->palette, nullptr);
        for (std::size_t i = 0; i < kpx_image_size(img.get()); ++i) ASSERT_EQ(img->image[i], 0);
    }
}

TEST(KpxCore, EmptyImageIsAValidRecord) {
    KpxPtr img(kpx_create(0, 10, 32, 0));
    ASSERT_TRUE(img);
    EXPECT_NE(img->image, nullptr);
    EXPECT_EQ(kpx_image_size(img.get()), 0u);
    KpxPtr copy(kpx_duplicate(img.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->height, 10);
}

TEST(KpxCore, DuplicateIsADeepCopy) {
    KpxPtr img(kpx_create(4, 4, 8, 256));
    ASSERT_TRUE(img);
    for (int i = 0; i < 768; ++i) img->palette[i] = static_cast<unsigned char>(i * 5);
    for (int i = 0; i < 16; ++i) img->image[i] = static_cast<unsigned char>(i);
    KpxPtr copy(kpx_duplicate(img.get()));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->palette, img->palette);
    EXPECT_NE(copy->image, img->image);
    EXPECT_EQ(std::memcmp(copy->palette, img->palette, 768), 0);
    EXPECT_EQ(std::memcmp(copy->image, img->image, 16), 0);
    img->palette[767] ^= 0xFF;
    EXPECT_NE(copy->palette[767], img->palette[767]);
}

TEST(KpxCore, SetAttributesReshapesInPlace) {
    KpxPtr img(kpx_create(8, 8, 8, 256));
    kpximage* before = img.get();
    std::memset(img->image, 7, 64);
    ASSERT_EQ(kpx_set_attributes(3, 2, 32, 0, img.get()), 1);
    EXPECT_EQ(img.get(), before);
    EXPECT_EQ(img->colors, 0);
    EXPECT_EQ(img->palette, nullptr);
    EXPECT_EQ(kpx_image_size(img.get()), 24u);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(img->image[i], 0);
    ASSERT_EQ(kpx_set_attributes(2, 2, 8, 16, img.get()), 1);
    ASSERT_NE(img->palette, nullptr);
    for (int i = 0; i < 48; ++i) EXPECT_EQ(img->palette[i], 0);
}

TEST(KpxCore, ImpossibleSizeFailsWithOneMessage) {
    kpx_error_clear();
    // 8192 bytes per pixel at 65535 x 65535: about 35 TB, which no heap grants.
    kpximage* img = kpx_create(65535, 65535, 65535, 0);
    EXPECT_EQ(img, nullptr);
    EXPECT_EQ(kpx_error_count(), 1);
    EXPECT_STREQ(kpx_error_last(), "KPX: Not enough memory for kpximage->image");
}

TEST(KpxErrors, ListKeepsPointersInOrderAndWrapsAt256) {
    kpx_error_clear();
    EXPECT_EQ(kpx_error_last(), nullptr);
    EXPECT_EQ(kpx_error_first(), nullptr);
    EXPECT_EQ(kpx_error_next(), nullptr);
    static const char* const a = "first";
    static const char* const b = "second";
    kpx_error(a);
    kpx_error(b);
    EXPECT_EQ(kpx_error_count(), 2);
    EXPECT_EQ(kpx_error_last(), b);
    EXPECT_EQ(kpx_error_first(), a);
    EXPECT_EQ(kpx_error_next(), b);
    EXPECT_EQ(kpx_error_next(), nullptr);
    EXPECT_EQ(kpx_error_next(), nullptr);
    // The walk has run past the end: the cursor has moved on with every call,
    // so the messages pushed now are beyond it until the next kpx_error_first.
    static const char* const c = "third";
    static const char* const d = "fourth";
    kpx_error(c);
    kpx_error(d);
    EXPECT_EQ(kpx_error_next(), nullptr);
    EXPECT_EQ(kpx_error_first(), a);
    EXPECT_EQ(kpx_error_next(), b);
    EXPECT_EQ(kpx_error_next(), c);
    EXPECT_EQ(kpx_error_next(), d);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(kpx_error_next(), nullptr);

    kpx_error_clear();
    static const char* const last = "the 257th";
    for (int i = 0; i < 256; ++i) kpx_error(a);
    EXPECT_EQ(kpx_error_count(), 256);
    kpx_error(last);
    EXPECT_EQ(kpx_error_count(), 1);
    EXPECT_EQ(kpx_error_first(), last);
    kpx_error_clear();
}

TEST(KpxDiagnostics, SwitchAndBannerLines) {
    EXPECT_EQ(kpx_verbose(), 1);  // on from start-up
    testing::internal::CaptureStdout();
    kpx_verbose_off();
    kpx_verbose_off();
    const int off = kpx_verbose();
    kpx_verbose_on();
    kpx_print_banner();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(off, 0);
    EXPECT_EQ(kpx_verbose(), 1);
    // The banner carries the library's build date ("Apr 19 2003"), which is not
    // the test's own when the two were compiled on different days.
    EXPECT_THAT(out, testing::MatchesRegex("KPX Verbose: OFF\nKPX Verbose: OFF\nKPX Verbose: ON\n\n"
                                           "Kapex Graphics Library v0\\.0\\.19 \\([A-Z][a-z][a-z] [ 1-3][0-9] "
                                           "[0-9][0-9][0-9][0-9]\\)\n\n"));
}

}  // namespace
}  // namespace vantor::test
