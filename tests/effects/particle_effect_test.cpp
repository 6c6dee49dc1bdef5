// The particle cloud drawn in the offscreen context: its fade steps, its
// invisibility while faded out and its full turn after 36 seconds.
#include "effects/particle_effect.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "tests/support/gl_fixture.h"

#include <cmath>
#include <cstring>
#include <memory>

namespace vantor::test {
namespace {

// The sprite as the start-up prepares it: a 24-bit grey glow brought to 32
// bits and channel-swapped.
struct SpriteImage {
    SpriteImage() : image(kpx_create(16, 16, 24, 0)) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const float d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
                std::memset(image->image + 3 * (16 * y + x), d < 1 ? int(255 * (1 - d)) : 0, 3);
            }
        makeParticleSprite(image);
    }
    ~SpriteImage() { kpx_free(image); }
    kpximage* image;
};

class ParticleTest : public GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        // The demo window's projection.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 20000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        effect = std::make_unique<ParticleEffect>(sprite.image);
    }
    void TearDown() override {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    std::vector<std::uint8_t> drawAt(int time) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect->run(time);
        effect->post();
        return frame();
    }

    static int litPixels(const std::vector<std::uint8_t>& rgba) {
        int lit = 0;
        for (std::size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] | rgba[i + 1] | rgba[i + 2]) != 0;
        return lit;
    }

    SpriteImage sprite;
    std::unique_ptr<ParticleEffect> effect;
};

TEST_F(ParticleTest, FadeStepsAddTheElapsedTimeEveryFrameAndStayInRange) {
    effect->init(5000);
    effect->run(5000);
    EXPECT_FLOAT_EQ(effect->fade(), -1.0f);  // nothing has elapsed yet
    // One step at each 60th of a second: at 5016, then at 5033.
    effect->run(5020);
    EXPECT_FLOAT_EQ(effect->fade(), -0.984f);
    effect->run(5040);  // the step grows with the time since the fade began
    EXPECT_FLOAT_EQ(effect->fade(), -0.951f);

    // Fading out while fading in starts from 0 and never leaves [-1, 0].
    effect->signal(SignalValue(ParticleEffect::FADE_OUT, 0));
    EXPECT_FLOAT_EQ(effect->fade(), 0.0f);
    float previous = 0.0f;
    for (int t = 5040; t < 7000; t += 20) {
        effect->run(t);
        EXPECT_LE(effect->fade(), previous);
        EXPECT_GE(effect->fade(), -1.0f);
        previous = effect->fade();
    }
    EXPECT_FLOAT_EQ(effect->fade(), -1.0f);

    // A fade of 500 ms steps twice as fast as the default.
    effect->signal(SignalValue(ParticleEffect::DURATION, 500));
    // From the last step taken, at 6966; then steps at 6983 and 7000.
    effect->signal(SignalValue(ParticleEffect::FADE_IN, 0));
    effect->run(6980);
    effect->run(7000);
    EXPECT_FLOAT_EQ(effect->fade(), -1.0f + 17.0f / 500 + 34.0f / 500);
    for (int t = 7040; t < 8000; t += 20) {
        effect->run(t);
        EXPECT_LE(effect->fade(), 0.0f);
    }
    EXPECT_FLOAT_EQ(effect->fade(), 0.0f);

    // A fade of no length ends at once instead of leaving the range.
    effect->signal(SignalValue(ParticleEffect::DURATION, 0));
    effect->signal(SignalValue(ParticleEffect::FADE_OUT, 0));
    effect->run(8000);
    EXPECT_FLOAT_EQ(effect->fade(), -1.0f);
}

TEST_F(ParticleTest, CloudIsInvisibleFadedOutAndTurnsOnceIn36Seconds) {
    effect->init(0);
    EXPECT_EQ(litPixels(drawAt(0)), 0) << "fade -1 leaves every sprite at alpha <= 0";

    drawAt(3000);  // fade in completed
    ASSERT_FLOAT_EQ(effect->fade(), 0.0f);
    const auto start = drawAt(0);
    const auto fullTurn = drawAt(36000);
    const auto halfTurn = drawAt(18000);
    EXPECT_GT(litPixels(start), 20000);

    // Red and green alike: the colour (0.8, 0.8, 0.5) on a grey sprite.
    long sums[2] = {0, 0};
    for (std::size_t i = 0; i < start.size(); i += 4)
        for (int c = 0; c < 2; ++c) sums[c] += start[i + c];
    EXPECT_EQ(sums[0], sums[1]);

    int turnDifferences = 0, halfDifferences = 0;
    for (std::size_t i = 0; i < start.size(); ++i) {
        turnDifferences += !near(start[i], fullTurn[i], 2);
        halfDifferences += !near(start[i], halfTurn[i], 2);
    }
    EXPECT_LT(turnDifferences, 200) << "after 360 degrees the cloud looks as at the start";
    EXPECT_GT(halfDifferences, 20000) << "after 180 degrees it does not";
}

}  // namespace
}  // namespace vantor::test
