// The TGA reader against stb_image over every image type, depth and stored
// orientation, plus the cases the oracle does not judge.
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

class TgaReader : public ::testing::Test {
protected:
    void SetUp() override {
        ppd_clear_archive();
        kpx_error_clear();
    }
    KpxPtr load(const std::string& bytes) { return KpxPtr(kpx_load_tga(dir.write("t.tga", bytes).c_str())); }
    TempDir dir;
};

// Channel value from the oracle compared at the record's precision: 16-bit
// records keep five bits per channel (green's sixth bit is a copy).
void expectChannel(int ours, int oracle, bool fiveBits, const char* what, int x, int y) {
    if (fiveBits)
        ASSERT_EQ(oracle, ((ours >> 3) * 255) / 31) << what << " at " << x << "," << y;
    else
        ASSERT_EQ(ours, oracle) << what << " at " << x << "," << y;
}

TEST_F(TgaReader, EveryTypeDepthAndOrientationMatchesOracle) {
    struct Kind {
        int type, depth, alphaBits;
    } kinds[] = {{2, 24, 0},  {2, 32, 8},  {2, 16, 0},  {2, 16, 1}, {3, 8, 0}, {1, 8, 0},
                 {10, 24, 0}, {10, 32, 8}, {10, 16, 1}, {11, 8, 0}, {9, 8, 0}};
    const int width = 23, height = 13;
    for (const Kind& k : kinds) {
        const bool mapped = k.type == 1 || k.type == 9;
        const int p = (k.depth + 7) / 8;
        Picture pic = testPicture(width, height, p, static_cast<std::uint32_t>(k.type * 100 + k.depth));
        TgaSpec spec;
        spec.type = k.type;
        spec.depth = k.depth;
        spec.alphaBits = k.alphaBits;
        if (mapped) {
            spec.map = gifPalette(256);  // any 256 colours, stored blue, green, red
        }
        for (int orientation = 0; orientation < 4; ++orientation) {
            spec.topDown = orientation & 1;
            spec.rightToLeft = orientation & 2;
            SCOPED_TRACE(testing::Message()
                         << "type " << k.type << " depth " << k.depth << " orientation " << orientation);
            KpxPtr img = load(tgaFile(spec, width, height, pic.pixels));
            ASSERT_TRUE(img) << kpx_error_last();
            // The oracle reads the same picture stored left to right.
            TgaSpec plain = spec;
            plain.rightToLeft = false;
            const int channels = k.depth == 32 ? 4 : (k.type == 3 || k.type == 11) ? 1 : 3;
            const Picture ref = stbDecode(tgaFile(plain, width, height, pic.pixels), channels);
            ASSERT_EQ(ref.width, width);
            ASSERT_EQ(img->width, width);
            ASSERT_EQ(img->height, height);
            const bool fiveBits = k.depth == 16;
            if (fiveBits) {
                EXPECT_EQ(img->bpp, 16);
            }
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const Rgba c = recordPixel(img.get(), x, y);
                    const std::uint8_t* r = ref.at(x, y);
                    if (channels == 1) {
                        ASSERT_EQ(c.r, r[0]) << x << "," << y;
                        continue;
                    }
                    expectChannel(c.r, r[0], fiveBits, "red", x, y);
                    expectChannel(c.g, r[1], fiveBits, "green", x, y);
                    expectChannel(c.b, r[2], fiveBits, "blue", x, y);
                    if (channels == 4) expectChannel(c.a, r[3], false, "alpha", x, y);
                }
        }
    }
}

TEST_F(TgaReader, BottomUpRightToLeftIsRotatedHalfATurn) {
    // 2 x 2, 24-bit, stored bottom to top and right to left: the first stored
    // pixel is the bottom-right one.
    TgaSpec spec;
    spec.rightToLeft = true;
    const std::vector<std::uint8_t> natural = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    const std::string file = tgaFile(spec, 2, 2, natural);
    EXPECT_EQ(static_cast<int>(file[18 + 3]), 4);  // stored first: bottom right
    KpxPtr img = load(file);
    ASSERT_TRUE(img);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 12), (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}));
}

TEST_F(TgaReader, ColourMapWithFirstIndexAndSmallEntries) {
    TgaSpec spec;
    spec.type = 1;
    spec.depth = 8;
    spec.topDown = true;
    spec.mapFirst = 2;
    spec.map = {30, 20, 10, 60, 50, 40};  // two entries, blue, green, red
    KpxPtr img = load(tgaFile(spec, 4, 1, {2, 3, 0, 1}));
    ASSERT_TRUE(img) << kpx_error_last();
    EXPECT_EQ(img->colors, 4);
    EXPECT_EQ(std::vector<int>(img->palette, img->palette + 12),
              (std::vector<int>{0, 0, 0, 0, 0, 0, 10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(std::vector<int>(img->image, img->image + 4), (std::vector<int>{2, 3, 0, 1}));

    spec.mapFirst = 0;
    spec.mapEntrySize = 16;
    spec.map = {0x1F, 0x7C};  // 5-5-5: red 31, green 0, blue 31
    KpxPtr small = load(tgaFile(spec, 1, 1, {0}));
    ASSERT_TRUE(small);
    EXPECT_EQ(std::vector<int>(small->palette, small->palette + 3), (std::vector<int>{255, 0, 255}));
}

TEST_F(TgaReader, SixteenBitLayoutAndItsProgressLines) {
    TgaSpec spec;
    spec.depth = 16;
    spec.topDown = true;
    // 0x7FFF: white; 0x0421: one step of each channel.
    const std::string file = tgaFile(spec, 2, 1, {0xFF, 0x7F, 0x21, 0x04});
    testing::internal::CaptureStdout();
    KpxPtr img = load(file);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(img);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 4), (std::vector<int>{0xFF, 0xDF, 0x08, 0x41}));
    EXPECT_NE(out.find("TGA: found new TGA\n"), std::string::npos);
    EXPECT_NE(out.find("TGA: 15 bit image, 0 bit alpha is less than 16 total bits per pixel\n"
                       "TGA: increasing to 1 bit alpha\n"),
              std::string::npos);
    EXPECT_NE(out.find("TGA: 15 bit color image, 1 bit alpha\n"), std::string::npos);
}

TEST_F(TgaReader, RefusalsAndTruncation) {
    TgaSpec spec;
    spec.type = 32;
    EXPECT_FALSE(load(tgaFile(spec, 2, 2, std::vector<std::uint8_t>(12, 1))));
    EXPECT_STREQ(kpx_error_last(), "TGA: unrecognized image type");
    EXPECT_EQ(kpx_error_count(), 1);

    std::string file = tgaFile(TgaSpec{}, 2, 2, std::vector<std::uint8_t>(12, 1));
    file[1] = 1;
    EXPECT_FALSE(load(file));
    EXPECT_STREQ(kpx_error_last(), "TGA: non-indexed image has invalid color map type");

    EXPECT_FALSE(load(std::string(20, '\0')));
    EXPECT_STREQ(kpx_error_last(), "TGA: Cannot read footer");

    // A 4 x 4 header whose ID field ends the file: no pixel can be read.
    std::string headerOnly(26, '\0');
    headerOnly[0] = 8;
    headerOnly[2] = 2;
    headerOnly[12] = 4;
    headerOnly[14] = 4;
    headerOnly[16] = 24;
    EXPECT_FALSE(load(headerOnly));
    EXPECT_STREQ(kpx_error_last(), "TGA: Could not read from file");

    // Truncated run-length data: 64 pixels of 7, then the file ends (its last
    // 26 bytes read as packets of one black pixel); the rest stays zero.
    TgaSpec rle;
    rle.type = 10;
    rle.topDown = true;
    rle.footer = false;
    std::vector<std::uint8_t> pixels(3 * 128, 9);
    std::fill(pixels.begin(), pixels.begin() + 3 * 64, 7);
    std::string cut = tgaFile(rle, 8, 16, pixels).substr(0, 18 + 3 + 4);
    cut += std::string(26, '\0');
    KpxPtr partial = load(cut);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->image[3 * 63], 7);
    for (int i = 3 * 64; i < 3 * 128; ++i) ASSERT_EQ(partial->image[i], 0) << i;
}

TEST_F(TgaReader, AShortFileFillsOnlyTheRowsItHolds) {
    // Bottom-up 24-bit files (mirrored or not) cut after five of 4 x 4
    // pixels: what arrived (file row 0, the picture's bottom row, and the
    // first stored pixel of file row 1) is where the whole file puts it,
    // everything else stays zero.
    const Picture picture = testPicture(4, 4, 3, 31);
    for (bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft);
        TgaSpec spec;
        spec.rightToLeft = rightToLeft;
        spec.footer = false;
        const std::string file = tgaFile(spec, 4, 4, picture.pixels);
        KpxPtr whole = load(file);
        const std::size_t pixelsStart = 18 + static_cast<unsigned char>(file[0]);  // after the ID field
        KpxPtr cut = load(file.substr(0, pixelsStart + 5 * 3));
        ASSERT_TRUE(whole && cut) << kpx_error_last();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const int fileRow = 3 - y;
                const int storedX = rightToLeft ? 3 - x : x;
                const bool arrived = fileRow == 0 || (fileRow == 1 && storedX == 0);
                for (int c = 0; c < 3; ++c) {
                    const int i = (y * 4 + x) * 3 + c;
                    ASSERT_EQ(cut->image[i], arrived ? whole->image[i] : 0) << x << "," << y << "," << c;
                }
            }
    }
}

// Found by fuzzing: 136 bytes of run-length data declaring 1280 x 32848 at
// 28 bits. Only the pixels its packets deliver are turned and placed.
TEST_F(TgaReader, AFewPacketsOfALargeDeclaredImage) {
    std::ifstream in(VANTOR_TEST_DATA_DIR "/kpx/short_rle_large_declared.tga", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 136u);
    KpxPtr img = load(bytes);
    ASSERT_TRUE(img) << kpx_error_last();
    EXPECT_EQ(img->width, 1280);
    EXPECT_EQ(img->height, 32848);
    const std::size_t size = kpx_image_size(img.get());
    for (std::size_t i = 0; i < size / 2; i += 4099) ASSERT_EQ(img->image[i], 0) << i;
}

TEST_F(TgaReader, EmptyImageLoadsAsEmptyRecord) {
    TgaSpec spec;
    spec.type = 10;
    KpxPtr img = load(tgaFile(spec, 0, 7, {}));
    ASSERT_TRUE(img) << kpx_error_last();
    EXPECT_EQ(img->width, 0);
    EXPECT_EQ(img->height, 7);
}

TEST_F(TgaReader, PacketOverrunningTheImageIsCut) {
    // 2 x 1 pixels but a repeat packet of 128: the surplus must not leak.
    std::string file(18, '\0');
    file[2] = 10;
    file[12] = 2;
    file[14] = 1;
    file[16] = 24;
    file[17] = 0x20;
    file += std::string("\xFF\x01\x02\x03", 4);
    file += std::string(26, '\0');
    testing::internal::CaptureStdout();
    KpxPtr img = load(file);
    const std::string out = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(img);
    EXPECT_EQ(std::vector<int>(img->image, img->image + 6), (std::vector<int>{3, 2, 1, 3, 2, 1}));
    EXPECT_NE(out.find("TGA: needed to use statebuf for 6 bytes\n"), std::string::npos);
    // A second image starts clean.
    KpxPtr again = load(file);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->image[0], 3);
}

}  // namespace
}  // namespace vantor::test
