// The fade, flash and scratch overlays drawn in the offscreen context and read
// back pixel by pixel.
#include "runtime/effect_table.h"
#include "effects/fade_effect.h"
#include "effects/flash_effect.h"
#include "effects/scratch_effect.h"
#include "platform/gl_api.h"
#include "runtime/frame_steps.h"
#include "tests/effects/matrix_balance_fixture.h"

#include <cmath>
#include <vector>

namespace vantor::test {
namespace {

// Every overlay pushes and pops both matrices around its own set-up.
class OverlayTest : public MatrixBalanceTest {
protected:
    static void clearTo(float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    static void frame(Effect& effect, int time) {
        effect.run(time);
        effect.post();
    }

    // The same value at the centre and at the four corners: the layer covers
    // the whole screen.
    static void expectEverywhere(int r, int g, int b, int tolerance) {
        const int points[5][2] = {{320, 240}, {0, 0}, {kWidth - 1, 0}, {0, kHeight - 1}, {kWidth - 1, kHeight - 1}};
        for (const auto& p : points) {
            const auto px = pixel(p[0], p[1]);
            EXPECT_TRUE(near(px[0], r, tolerance) && near(px[1], g, tolerance) && near(px[2], b, tolerance))
                << "at " << p[0] << "," << p[1] << ": " << int(px[0]) << " " << int(px[1]) << " " << int(px[2])
                << " expected " << r << " " << g << " " << b;
        }
    }
};

TEST_F(OverlayTest, FadeToBlackFollowsMusicTimeAndHalfLevelOverWhiteIsMidGrey) {
    FadeEffect fade(FadeColor{});
    fade.init(10000);
    fade.signal(SignalValue(FadeEffect::COLOUR_AT, 12000));
    fade.start();

    clearTo(1, 1, 1);
    frame(fade, 11000);
    EXPECT_FLOAT_EQ(fade.level(), 0.5f);
    expectEverywhere(128, 128, 128, 2);

    // Culling on: the fade's quad faces the viewer and must still draw.
    glEnable(GL_CULL_FACE);
    clearTo(1, 1, 1);
    frame(fade, 12000);
    EXPECT_FLOAT_EQ(fade.level(), 1.0f);
    expectEverywhere(0, 0, 0, 1);
    glDisable(GL_CULL_FACE);

    // Beyond the end the level keeps growing; GL clamps it to opaque.
    clearTo(1, 1, 1);
    frame(fade, 13000);
    EXPECT_FLOAT_EQ(fade.level(), 1.5f);
    expectEverywhere(0, 0, 0, 1);

    // The fade leaves blending off and the current colour white.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0] + color[1] + color[2] + color[3], 4.0f);
}

TEST_F(OverlayTest, FadeSignalsSetTheLineAndTheColour) {
    FadeEffect fade(FadeColor{});
    fade.start();

    fade.init(2000);
    fade.signal(SignalValue(FadeEffect::CLEAR_AT, 6000));  // from full colour to clear at 6000
    frame(fade, 3000);
    EXPECT_FLOAT_EQ(fade.level(), 0.75f);

    fade.init(1000);
    fade.signal(SignalValue(FadeEffect::COLOUR_OVER, 400));  // to full colour over 400 ms
    frame(fade, 1100);
    EXPECT_FLOAT_EQ(fade.level(), 0.25f);

    fade.init(1000);
    fade.signal(SignalValue(FadeEffect::CLEAR_OVER, 400));  // to clear over 400 ms
    frame(fade, 1300);
    EXPECT_FLOAT_EQ(fade.level(), 0.25f);

    // Colour codes take values out of 255; unknown codes and strings change nothing.
    fade.signal(SignalValue(FadeEffect::RED, 255));
    fade.signal(SignalValue(FadeEffect::GREEN, 0));
    fade.signal(SignalValue(FadeEffect::BLUE, 51));
    fade.signal(SignalValue(118, 255));
    fade.signal(SignalValue(5, 999));
    EXPECT_FLOAT_EQ(fade.color().r, 1.0f);
    EXPECT_FLOAT_EQ(fade.color().g, 0.0f);
    EXPECT_FLOAT_EQ(fade.color().b, 0.2f);

    fade.init(0);
    fade.signal(SignalValue(FadeEffect::COLOUR_AT, 1000));
    clearTo(0, 0, 1);
    frame(fade, 1000);
    expectEverywhere(255, 0, 51, 1);
}

TEST_F(OverlayTest, FadeDrawsNothingWhenStoppedOrAtLevelZero) {
    FadeEffect fade(FadeColor{1, 1, 1});
    fade.init(0);
    fade.start();
    clearTo(0, 0, 0);
    frame(fade, 5000);  // rate 0 as built: the level stays 0
    EXPECT_EQ(fade.level(), 0.0f);
    expectEverywhere(0, 0, 0, 0);

    fade.signal(SignalValue(FadeEffect::COLOUR_AT, 1000));
    frame(fade, 1000);
    expectEverywhere(255, 255, 255, 0);

    fade.stop();
    clearTo(0, 0, 0);
    frame(fade, 1000);
    expectEverywhere(0, 0, 0, 0);
}

TEST_F(OverlayTest, FadeOfZeroDurationIsCompleteAtOnceInsteadOfDividingByZero) {
    struct Case {
        int code, value;
        float level;
    };
    const Case cases[] = {{4, 3000, 1.0f}, {3, 3000, 0.0f}, {6, 0, 1.0f}, {7, 0, 0.0f}};
    for (const Case& c : cases) {
        FadeEffect fade(FadeColor{});
        fade.init(3000);
        fade.start();
        fade.signal(SignalValue(c.code, c.value));
        for (int t : {3000, 3001, 9000}) {
            clearTo(1, 1, 1);
            frame(fade, t);
            EXPECT_EQ(fade.level(), c.level) << "code " << c.code << " at " << t;
            const int grey = c.level == 0.0f ? 255 : 0;
            expectEverywhere(grey, grey, grey, 1);
        }
    }
}

TEST_F(OverlayTest, SingleFlashDecaysInTwentyFramesAndSwitchesItselfOff) {
    FlashEffect flash;
    EXPECT_FALSE(flash.running);
    flash.init(0);
    // Culling on: the flash's flipped quad must still be drawn.
    glEnable(GL_CULL_FACE);
    flash.signal(SignalValue(FlashEffect::ONCE, 0));
    EXPECT_TRUE(flash.running);

    // Frames at 60 a second on the step grid: one step each.
    std::vector<int> brightness;
    for (int frameNo = 1; frameNo <= 20; ++frameNo) {
        clearTo(0, 0, 0);
        frame(flash, frame_steps::stepTime(0, 60 + frameNo));
        brightness.push_back(pixel(320, 240)[0]);
    }
    EXPECT_TRUE(near(brightness[0], 242, 2)) << brightness[0];   // level 0.95
    EXPECT_TRUE(near(brightness[18], 13, 2)) << brightness[18];  // level 0.05
    for (size_t i = 1; i < 19; ++i) EXPECT_LT(brightness[i], brightness[i - 1]);
    EXPECT_EQ(brightness[19], 0);
    EXPECT_FALSE(flash.running);
    expectEverywhere(0, 0, 0, 0);
    glDisable(GL_CULL_FACE);
}

TEST_F(OverlayTest, RepeatingFlashReturnsAfterItsIntervalAndRestsAtZero) {
    FlashEffect flash;
    flash.signal(SignalValue(FlashEffect::EVERY, 500));
    // Frames every 20 ms from 20: the first frame is more than 500 ms after
    // lastFlash = 0 only at 520.
    float previous = 1.0f;
    for (int t = 20; t <= 500; t += 20) {
        frame(flash, t);
        EXPECT_TRUE(flash.running);
        EXPECT_LE(flash.level(), previous);
        EXPECT_GE(flash.level(), 0.0f);
        previous = flash.level();
    }
    EXPECT_EQ(flash.level(), 0.0f);
    clearTo(0, 0, 0);
    frame(flash, 500);
    expectEverywhere(0, 0, 0, 0);

    frame(flash, 520);
    EXPECT_EQ(flash.level(), 1.0f);
    expectEverywhere(255, 255, 255, 0);
    // Next one only after more than 500 ms from 520.
    for (int t = 540; t <= 1020; t += 20) frame(flash, t);
    EXPECT_EQ(flash.level(), 0.0f);
    frame(flash, 1040);
    EXPECT_EQ(flash.level(), 1.0f);

    // Signal 1 turns a repeating flash into a single one.
    flash.signal(SignalValue(FlashEffect::ONCE, 0));
    for (int i = 0; i < 20; ++i) frame(flash, 1060 + 20 * i);
    EXPECT_FALSE(flash.running);
}

TEST_F(OverlayTest, FlashSignalReachesTheScreenThroughTheTableWithoutStart) {
    EffectTable table;
    FlashEffect flash;
    table.set(30, &flash);
    table.initAll();
    clearTo(0, 0, 0);
    table.runAll(100);
    expectEverywhere(0, 0, 0, 0);

    table.get(30)->signal(SignalValue(FlashEffect::ONCE, 0));
    table.runAll(116);
    expectEverywhere(242, 242, 242, 2);
}

// Brightness of a white column under the stripes that cover its centre.
float expectedWhite(const ScratchEffect& scratch, float centre) {
    float light = 1.0f;
    for (const auto& s : scratch.stripes())
        if (centre >= s.left && centre < s.right) light *= 1.0f - s.alpha;
    return light;
}

bool nearStripeEdge(const ScratchEffect& scratch, float centre) {
    for (const auto& s : scratch.stripes())
        if (std::fabs(centre - s.left) < 1.0f || std::fabs(centre - s.right) < 1.0f) return true;
    return false;
}

TEST_F(OverlayTest, ScratchStripesAreNarrowHalfOpaqueAndDrawnWhereTheyLie) {
    ScratchEffect scratch;
    scratch.init(1000);
    scratch.start();

    // Before the first re-roll nothing shows.
    clearTo(1, 1, 1);
    frame(scratch, 1050);
    expectEverywhere(255, 255, 255, 0);

    clearTo(1, 1, 1);
    frame(scratch, 1051);
    int dark = 0;
    for (const auto& s : scratch.stripes()) {
        EXPECT_GE(s.alpha, 0.0f);
        EXPECT_LE(s.alpha, 0.5f);
        EXPECT_GE(s.left, 0.0f);
        EXPECT_LE(s.left, static_cast<float>(kWidth));
        EXPECT_GE(s.right, s.left);
        EXPECT_LE(s.right - s.left, 30.0f);
        if (s.alpha > 0.05f && s.right - s.left > 2.0f) ++dark;
    }
    EXPECT_GE(dark, 10);  // 20 random stripes: most are visible

    // Read back every column of two rows: each pixel is white darkened by the
    // stripes over it, and stripes run from the top to the bottom.
    int checked = 0;
    for (int x = 0; x < kWidth; ++x) {
        const float centre = x + 0.5f;
        if (nearStripeEdge(scratch, centre)) continue;
        const int expected = static_cast<int>(std::lround(255 * expectedWhite(scratch, centre)));
        for (int y : {0, kHeight - 1}) {
            const auto px = pixel(x, y);
            EXPECT_TRUE(near(px[0], expected, 3))
                << "x " << x << " y " << y << ": " << int(px[0]) << " vs " << expected;
            EXPECT_EQ(px[0], px[2]);
        }
        ++checked;
    }
    EXPECT_GT(checked, kWidth / 2);

    // The depth test stays off, depth writes are back on.
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_EQ(depthWrites, GL_TRUE);
}

TEST_F(OverlayTest, ScratchRerollsOnlyMoreThanFiftyMillisecondsAfterTheLast) {
    ScratchEffect scratch;
    scratch.init(0);
    frame(scratch, 60);
    const auto first = scratch.stripes();
    frame(scratch, 110);  // exactly 50 ms later: kept
    EXPECT_EQ(scratch.stripes()[0].left, first[0].left);
    EXPECT_EQ(scratch.stripes()[7].alpha, first[7].alpha);
    frame(scratch, 111);
    bool changed = false;
    for (int i = 0; i < ScratchEffect::kCount; ++i) changed = changed || scratch.stripes()[i].left != first[i].left;
    EXPECT_TRUE(changed);

    // Signals are ignored.
    const auto before = scratch.stripes();
    scratch.signal(SignalValue(1, 5));
    frame(scratch, 120);
    EXPECT_EQ(scratch.stripes()[3].right, before[3].right);
}

}  // namespace
}  // namespace vantor::test
