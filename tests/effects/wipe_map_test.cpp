// The wipe's transition map read from images of every shape, and the mask
// made from it.
#include "effects/wipe_map.h"
#include "kpx/kpx.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct ImageDeleter {
    void operator()(kpximage* image) const { kpx_free(image); }
};
using Image = std::unique_ptr<kpximage, ImageDeleter>;

Image image(int w, int h, int bpp) {
    Image made(kpx_create(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(bpp),
                          bpp <= 8 ? 256 : 0));
    EXPECT_TRUE(made);
    return made;
}

TEST(WipeMap, GreyLevelIsTheIndexOrTheMeanOfThePixelBytes) {
    std::vector<unsigned char> map(kWipeMapSize, 9);
    auto grey = image(2, 1, 8);
    grey->image[0] = 200;
    grey->image[1] = 3;
    loadWipeMap(*grey, map.data());
    EXPECT_EQ(map[0], 200);
    EXPECT_EQ(map[1], 3);
    EXPECT_EQ(map[2], 9) << "values the image does not cover stay";

    auto rgb = image(1, 1, 24);
    rgb->image[0] = 10;
    rgb->image[1] = 20;
    rgb->image[2] = 31;
    loadWipeMap(*rgb, map.data());
    EXPECT_EQ(map[0], 20);  // 61 / 3, truncated

    auto rgba = image(1, 1, 32);
    for (int i = 0; i < 4; ++i) rgba->image[i] = 255;
    loadWipeMap(*rgba, map.data());
    EXPECT_EQ(map[0], 255);

    // Depths below 8 bits take one byte a pixel.
    auto nibbles = image(1, 1, 4);
    nibbles->image[0] = 7;
    loadWipeMap(*nibbles, map.data());
    EXPECT_EQ(map[0], 7);
}

TEST(WipeMap, ImagesLargerThanTheMapGiveTheirFirst65536Pixels) {
    // 300 x 300 holds 90000 pixels: the map gets the first 65536 in storage
    // order and nothing is written beyond it.
    std::vector<unsigned char> map(kWipeMapSize + 64, 0);
    auto large = image(300, 300, 8);
    for (int i = 0; i < 300 * 300; ++i) large->image[i] = static_cast<unsigned char>(i % 251);
    loadWipeMap(*large, map.data());
    for (int i : {0, 299, 300, 65535}) EXPECT_EQ(map[i], i % 251) << i;
    for (int i = kWipeMapSize; i < kWipeMapSize + 64; ++i) ASSERT_EQ(map[i], 0);

    // A record without pixels changes nothing.
    kpximage empty{};
    loadWipeMap(empty, map.data());
    EXPECT_EQ(map[299], 299 % 251);
}

TEST(WipeMap, MaskIsZeroBelowTheThresholdOpaqueFrom30AboveAndARampBetween) {
    std::vector<unsigned char> map(kWipeMapSize), mask(kWipeMapSize);
    for (int i = 0; i < kWipeMapSize; ++i) map[i] = static_cast<unsigned char>(i % 256);

    computeWipeMask(map.data(), 0.0f, mask.data());
    EXPECT_EQ(mask[0], 0);
    EXPECT_EQ(mask[15], 127);
    EXPECT_EQ(mask[29], 246);
    for (int g = 30; g < 256; ++g) ASSERT_EQ(mask[g], 255) << g;

    computeWipeMask(map.data(), 128.0f, mask.data());
    EXPECT_EQ(mask[127], 0);
    EXPECT_EQ(mask[128], 0);
    EXPECT_EQ(mask[143], 127);
    EXPECT_EQ(mask[157], 246);
    EXPECT_EQ(mask[158], 255);
    for (int g = 1; g < 158; ++g) ASSERT_LE(mask[g - 1], mask[g]);

    computeWipeMask(map.data(), 300.0f, mask.data());
    for (int i = 0; i < kWipeMapSize; ++i) ASSERT_EQ(mask[i], 0);
}

}  // namespace
