// The wipe drawn offscreen: the first effect, the mask in destination alpha
// and the target blended through it, read back across the screen.
#include "runtime/effect_table.h"
#include "effects/wipe_effect.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "tests/effects/capture_fixture.h"
#include "tests/support/temp_dir.h"

#include <string>

namespace vantor::test {
namespace {

class WipeTest : public CaptureTest {
protected:
    static constexpr int kTargetId = 5;

    void SetUp() override {
        CaptureTest::SetUp();
        source = PaintSource(1, 0, 0);  // the first effect: red
        target.fill(0, 255, 0);
        table.set(kTargetId, &target);

        // Two 256 x 256 maps: grey level = column, and = image row.
        kpximage* columns = kpx_create(256, 256, 8, 256);
        kpximage* rows = kpx_create(256, 256, 8, 256);
        for (int r = 0; r < 256; ++r)
            for (int c = 0; c < 256; ++c) {
                columns->image[r * 256 + c] = static_cast<unsigned char>(c);
                rows->image[r * 256 + c] = static_cast<unsigned char>(r);
            }
        ASSERT_TRUE(kpx_save_pcx(dir.file("columns.pcx").c_str(), columns));
        ASSERT_TRUE(kpx_save_pcx(dir.file("rows.pcx").c_str(), rows));
        kpx_free(columns);
        kpx_free(rows);
        images.setPath((dir.path().string() + "/").c_str());
    }

    // The red share of the pixel at (x, y): 255 where the first effect shows,
    // 0 where the target covers it.
    static int red(int x, int y) { return pixel(x, y)[0]; }

    TempDir dir;
    ImageLibrary images;
    PlainLayer target{8, 8};
};

TEST_F(WipeTest, ThresholdSweepsTheMapFromTargetToFirstEffect) {
    WipeEffect wipe(&images, "columns.pcx");
    wipe.useEffectTable(table);
    wipe.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    wipe.signal(SignalValue(WipeEffect::WIPE_FROM, kTargetId));
    ASSERT_EQ(wipe.target(), &target);
    wipe.init(4000);

    // Progress 0: grey 0 shows the first effect, 30 and more the target,
    // grey 15 half of each. Map column c spans x = 2.5 c .. 2.5 c + 2.5.
    clearTo(0, 0, 0);
    frameOf(wipe, 4000);
    EXPECT_FLOAT_EQ(wipe.progress(), 0.0f);
    // (The mask texture repeats: the outermost pixel columns mix in the
    // opposite edge of the map, so the checks keep a few pixels away.)
    EXPECT_TRUE(pixelIs(1, 240, 255, 0, 0, 3));
    EXPECT_TRUE(pixelIs(38, 240, 128, 127, 0, 3));  // column 15
    for (int x : {76, 320, 636}) EXPECT_TRUE(pixelIs(x, 240, 0, 255, 0, 3)) << x;
    EXPECT_EQ(source.runs, 1);

    // The threshold grows by the time since init / 2000 at every 60th of a
    // second: steps at 4016, 4033, 4050, 4066, 4083, 4100, then 4116 ... 4200.
    frameOf(wipe, 4100);
    EXPECT_FLOAT_EQ(wipe.progress(), (16 + 33 + 50 + 66 + 83 + 100) / 2000.0f);
    frameOf(wipe, 4200);
    EXPECT_FLOAT_EQ(wipe.progress(), (348 + 116 + 133 + 150 + 166 + 183 + 200) / 2000.0f);

    // Code 90 puts the soft edge at grey 128..157 at once. (The timeline
    // brings the steps up to the millisecond before an event first.)
    wipe.advance(4999);
    wipe.init(5000);
    wipe.signal(SignalValue(WipeEffect::THRESHOLD, 128));
    clearTo(0, 0, 0);
    frameOf(wipe, 5000);
    for (int x : {3, 200, 318}) EXPECT_GE(red(x, 100), 252) << x;
    EXPECT_NEAR(red(358, 100), 128, 4);  // column 143
    for (int x : {398, 500, 636}) EXPECT_LE(red(x, 100), 3) << x;

    // Progress 300: only the first effect.
    wipe.signal(SignalValue(WipeEffect::THRESHOLD, 300));
    clearTo(0, 0, 0);
    frameOf(wipe, 5000);
    for (int x : {3, 320, 636}) EXPECT_TRUE(pixelIs(x, 240, 255, 0, 0, 1)) << x;
}

TEST_F(WipeTest, MapRowZeroLiesAtTheBottomAndSpeedFollowsCode10) {
    WipeEffect wipe(&images, "rows.pcx");
    wipe.useEffectTable(table);
    wipe.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    wipe.signal(SignalValue(WipeEffect::WIPE_FROM, kTargetId));
    wipe.signal(SignalValue(LayerEffect::DURATION, 100));
    wipe.init(0);
    wipe.signal(SignalValue(WipeEffect::THRESHOLD, 128));
    clearTo(0, 0, 0);
    frameOf(wipe, 0);
    EXPECT_GE(red(320, kHeight - 5), 252);  // low map rows: first effect
    EXPECT_LE(red(320, 5), 3);              // high rows: target
    frameOf(wipe, 50);  // steps at 16, 33 and 50
    EXPECT_FLOAT_EQ(wipe.progress(), 128.0f + (16 + 33 + 50) / 100.0f);

    // Speed 0: the sweep is over at once, also in the frame of the init.
    wipe.signal(SignalValue(10, 0));
    for (int time : {50, 0}) {
        wipe.init(time);
        clearTo(0, 0, 0);
        frameOf(wipe, time);
        EXPECT_GT(wipe.progress(), 285.0f);
        for (int y : {5, 240, kHeight - 5}) EXPECT_GE(red(320, y), 252) << y;
    }

    // Code 91 reloads the map; a missing image leaves it as it was.
    wipe.signal(SignalValue(WipeEffect::WIPE_MAP, std::string("columns.pcx")));
    EXPECT_EQ(wipe.map()[5], 5);
    wipe.signal(SignalValue(WipeEffect::WIPE_MAP, std::string("missing.pcx")));
    EXPECT_EQ(wipe.map()[5], 5);
}

TEST_F(WipeTest, StopSwitchesTheTargetsBlendingOffAgain) {
    WipeEffect wipe(&images, "columns.pcx");
    wipe.useEffectTable(table);
    wipe.signal(SignalValue(WipeEffect::WIPE_FROM, kTargetId));
    wipe.init(0);
    wipe.start();
    frameOf(wipe, 0);  // without a source: the mask and the target only
    EXPECT_TRUE(target.blendOn);
    EXPECT_EQ(target.blendSource, static_cast<GLenum>(GL_DST_ALPHA));
    EXPECT_EQ(target.blendDest, static_cast<GLenum>(GL_ONE_MINUS_DST_ALPHA));

    wipe.stop();
    EXPECT_FALSE(wipe.running);
    // Neither the first effect nor the target can be the wipe itself.
    table.set(6, &wipe);
    wipe.signal(SignalValue(CaptureEffect::SOURCE, 6));
    wipe.signal(SignalValue(WipeEffect::WIPE_FROM, 6));
    EXPECT_EQ(wipe.source, nullptr);
    EXPECT_EQ(wipe.target(), nullptr);
    EXPECT_FALSE(target.blendOn);
    // Drawn on its own now, the target covers everything whatever the
    // frame buffer's alpha.
    glClearColor(1, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    target.run(0);
    target.post();
    for (int x : {0, 320, 639}) EXPECT_TRUE(pixelIs(x, 240, 0, 255, 0, 1)) << x;
}

TEST_F(WipeTest, WithoutAMapImageEveryGreyIsZeroAndTheFirstEffectShows) {
    WipeEffect wipe(&images, "missing.pcx");
    wipe.useEffectTable(table);
    for (int i : {0, 1000, 65535}) EXPECT_EQ(wipe.map()[i], 0);
    wipe.signal(SignalValue(CaptureEffect::SOURCE, kSourceId));
    wipe.signal(SignalValue(WipeEffect::WIPE_FROM, kTargetId));
    wipe.init(0);
    clearTo(0, 0, 0);
    frameOf(wipe, 0);
    for (int x : {0, 320, 639}) EXPECT_TRUE(pixelIs(x, 240, 255, 0, 0, 1)) << x;
}

}  // namespace
}  // namespace vantor::test
