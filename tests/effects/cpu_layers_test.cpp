// The noise, horizon-scroll and nested-zoom layers drawn offscreen and read
// back; their images are small JPEG files made here.
#include "runtime/fatal_error.h"
#include "effects/horizon_scroll_effect.h"
#include "effects/nested_zoom_effect.h"
#include "effects/noise_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "tests/effects/layer_fixture.h"
#include "tests/support/temp_dir.h"

#include <cmath>

namespace vantor::test {
namespace {

class NoiseLayer : public LayerTest {
protected:
    // The noise texel a screen pixel shows (nearest filtering over the viewport).
    static int noiseAt(const NoiseEffect& noise, int x, int y) {
        const int u = (2 * x + 1) * NoiseEffect::kSize / (2 * kWidth);
        const int v = (2 * y + 1) * NoiseEffect::kSize / (2 * kHeight);
        return noise.noise[(static_cast<std::size_t>(v) * NoiseEffect::kSize + u) * 4];
    }
};

TEST_F(NoiseLayer, AlphaByCode118AndFrozenByCode90WithZero) {
    NoiseEffect noise;
    noise.init(0);
    EXPECT_FLOAT_EQ(noise.alpha, 0.5f);
    EXPECT_FALSE(noise.regenerate);
    // Grey, opaque texels spread over 0..255.
    int lowest = 255, highest = 0;
    for (std::size_t i = 0; i < noise.noise.size(); i += 4) {
        EXPECT_EQ(noise.noise[i], noise.noise[i + 2]);
        lowest = std::min<int>(lowest, noise.noise[i]);
        highest = std::max<int>(highest, noise.noise[i]);
    }
    EXPECT_LE(lowest, 2);
    EXPECT_GE(highest, 253);

    // A quarter opaque over white: 0.75 * 255 + 0.25 * texel, texel by texel.
    noise.signal(SignalValue(NoiseEffect::NOISE_ALPHA, 25));
    EXPECT_FLOAT_EQ(noise.alpha, 0.25f);
    clearTo(1, 1, 1);
    noise.run(0);
    noise.post();
    for (auto p : {std::array<int, 2>{3, 3}, {320, 240}, {101, 377}, {636, 476}}) {
        const int texel = noiseAt(noise, p[0], p[1]);
        const int expected = static_cast<int>(std::lround(0.75 * 255 + 0.25 * texel));
        EXPECT_TRUE(pixelIs(p[0], p[1], expected, expected, expected, 2)) << "texel " << texel;
    }
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    // Frozen by default and by 90 with 0; re-rolled by 90 with 1 once a
    // step of the 60 Hz grid (16, 33, 50, 66 ms), not in frames between.
    const auto before = noise.noise;
    noise.run(16);
    EXPECT_EQ(noise.noise, before);
    noise.signal(SignalValue(NoiseEffect::REROLL, 1));
    noise.run(33);
    const auto rolled = noise.noise;
    EXPECT_NE(rolled, before);
    noise.run(40);
    EXPECT_EQ(noise.noise, rolled);
    noise.run(50);
    EXPECT_NE(noise.noise, rolled);
    noise.signal(SignalValue(NoiseEffect::REROLL, 0));
    const auto frozen = noise.noise;
    noise.run(66);
    EXPECT_EQ(noise.noise, frozen);

    // init brings the alpha back to a half.
    noise.init(50);
    EXPECT_FLOAT_EQ(noise.alpha, 0.5f);
}

// A folder of flat-coloured JPEG images and an image cache reading it.
class ImageFolderTest : public LayerTest {
protected:
    void SetUp() override {
        LayerTest::SetUp();
        dir.enter();
        ppd_clear_archive();
        kpx_verbose_off();
    }
    void TearDown() override {
        kpx_verbose_on();
        LayerTest::TearDown();
    }
    void save(const char* name, int w, int h, int r, int g, int b) {
        kpximage* image = kpx_create(static_cast<std::uint16_t>(w), static_cast<std::uint16_t>(h), 24, 0);
        for (int i = 0; i < w * h; ++i) {
            image->image[i * 3] = static_cast<unsigned char>(r);
            image->image[i * 3 + 1] = static_cast<unsigned char>(g);
            image->image[i * 3 + 2] = static_cast<unsigned char>(b);
        }
        kpx_set_jpg_quality(100);
        kpx_error_clear();
        kpx_save_jpg(name, image);  // failures show on the error list only
        ASSERT_EQ(kpx_error_count(), 0) << kpx_error_last();
        kpx_free(image);
    }
    TempDir dir;
    ImageLibrary library;
};

using HorizonScroll = ImageFolderTest;

TEST_F(HorizonScroll, ScrollsOneAndAHalfWidthsIn10SecondsAndStopsAtThree) {
    // Each image covers its whole texture: power-of-two sides, as the demo's.
    save("horisbig1.jpg", 32, 8, 200, 0, 0);
    save("horisbig2.jpg", 64, 16, 0, 200, 0);
    save("bakgrscroll3.jpg", 16, 8, 0, 0, 50);
    HorizonScrollEffect horizon(library);
    EXPECT_FLOAT_EQ(horizon.parameter, 20000.0f);
    EXPECT_NE(horizon.leftTexture, horizon.rightTexture);
    horizon.init(5000);
    EXPECT_DOUBLE_EQ(horizon.scrollRange, 3.0 * kWidth);

    clearTo(0, 0, 0);
    horizon.run(5000);
    EXPECT_DOUBLE_EQ(horizon.scrollOffset, 0.0);
    EXPECT_TRUE(pixelIs(600, 240, 200, 0, 50, 4));

    clearTo(0, 0, 0);
    horizon.run(15000);
    EXPECT_DOUBLE_EQ(horizon.scrollOffset, -1.5 * kWidth);
    // The left image ends at -960 + 1280 = 320; the overlay covers all.
    EXPECT_TRUE(pixelIs(300, 240, 200, 0, 50, 4));
    EXPECT_TRUE(pixelIs(340, 240, 0, 200, 50, 4));

    for (int t : {25000, 26000, 1000000}) {
        horizon.run(t);
        EXPECT_DOUBLE_EQ(horizon.scrollOffset, -3.0 * kWidth) << t;
    }
    // At the stop the right image fills the screen, the overlay's end at
    // -960 + 1280 = 320 is visible (its last half texel, 40 pixels here,
    // fades into the clamped border).
    clearTo(0, 0, 0);
    horizon.run(25000);
    EXPECT_TRUE(pixelIs(260, 240, 0, 200, 50, 4));
    EXPECT_TRUE(pixelIs(340, 240, 0, 200, 0, 4));

    // A zero duration jumps straight to the stop.
    horizon.signal(SignalValue(LayerEffect::DURATION, 0));
    horizon.run(5000);
    EXPECT_DOUBLE_EQ(horizon.scrollOffset, -3.0 * kWidth);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(HorizonScroll, AMissingOrOversizedImageEndsNamingIt) {
    ScopedFatalErrorCapture capture;
    save("horisbig1.jpg", 8, 8, 1, 1, 1);
    try {
        HorizonScrollEffect horizon(library);
        ADD_FAILURE() << "no error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "could not load image horisbig2.jpg");
    }
    save("horisbig2.jpg", 1100, 4, 1, 1, 1);
    library.freeImage("horisbig1.jpg");
    try {
        HorizonScrollEffect horizon(library);
        ADD_FAILURE() << "no error";
    } catch (const FatalError& error) {
        EXPECT_STREQ(error.what(), "effect too large");
    }
}

using NestedZoom = ImageFolderTest;

TEST_F(NestedZoom, ZoomsOutFromInsideTheLastImageToTheWholeFirst) {
    save("zoom3.jpg", 40, 30, 200, 0, 0);
    save("zoom2.jpg", 64, 64, 0, 200, 0);
    save("zoom1.jpg", 100, 20, 0, 0, 200);
    save("zoom0.jpg", 16, 16, 220, 220, 220);
    NestedZoomEffect zoom(library);
    // The cached images themselves were brought to 512 x 512 x 32 bits.
    for (kpximage* image : zoom.zoomImages) {
        EXPECT_EQ(image->width, 512);
        EXPECT_EQ(image->height, 512);
        EXPECT_EQ(image->bpp, 32);
    }
    EXPECT_EQ(zoom.zoomImages[0], library.getImage("zoom3.jpg"));

    zoom.init(1000);
    clearTo(0, 0, 0);
    zoom.run(1100);
    EXPECT_NEAR(zoom.scale, 990.0f, 0.01f);
    // Deep inside the last image: it covers the whole screen.
    EXPECT_TRUE(pixelIs(3, 3, 220, 220, 220, 4));
    EXPECT_TRUE(pixelIs(320, 240, 220, 220, 220, 4));

    // Scale 1: the first image fills the viewport, each next one a quarter
    // of the size in the centre of the one before.
    const int whole = 1000 + static_cast<int>(std::lround(100 * std::log(1000.0) / -std::log(0.99)));
    clearTo(0, 0, 0);
    zoom.run(whole);
    EXPECT_NEAR(zoom.scale, 1.0f, 0.001f);
    EXPECT_TRUE(pixelIs(5, 5, 200, 0, 0, 4));
    EXPECT_TRUE(pixelIs(634, 474, 200, 0, 0, 4));
    // The second spans 160 x 120 pixels, the third 40 x 30.
    EXPECT_TRUE(pixelIs(320 - 88, 240, 200, 0, 0, 4));
    EXPECT_TRUE(pixelIs(320 - 70, 240, 0, 200, 0, 4));
    EXPECT_TRUE(pixelIs(320 - 26, 240, 0, 200, 0, 4));
    EXPECT_TRUE(pixelIs(320 - 18, 240 + 12, 0, 0, 200, 4));
    EXPECT_TRUE(pixelIs(320, 240, 220, 220, 220, 4));
    // Beyond: the first image shrinks and leaves the background at the edge.
    clearTo(0, 0, 0);
    zoom.run(whole + 10000);
    EXPECT_TRUE(pixelIs(5, 5, 0, 0, 0, 1));

    // Code 10 changes the time constant; init starts the zoom again.
    zoom.signal(SignalValue(LayerEffect::DURATION, 200));
    zoom.init(0);
    zoom.run(200);
    EXPECT_NEAR(zoom.scale, 990.0f, 0.01f);

    // Speed 0 holds the start picture, before, at and after the init's time.
    zoom.signal(SignalValue(10, 0));
    zoom.init(1000);
    for (int time : {500, 1000, 5000}) {
        zoom.run(time);
        EXPECT_EQ(zoom.scale, 1000.0f) << time;
    }
}

}  // namespace
}  // namespace vantor::test
