// MetamoveEffect: the metaball surface drawn where the scene's object 6 is,
// with both textures, and the fatal end of a scene without object 6.
#include "runtime/fatal_error.h"
#include "kpx/kpx.h"
#include "scene/effects/metamove_effect.h"
#include "tests/scene/effects/scene_effect_fixture.h"

#include <filesystem>
#include <memory>

namespace vantor::test {
namespace {

class MetamoveTest : public SceneEffectTest {
protected:
    void SetUp() override {
        SceneEffectTest::SetUp();
        // Blue galaxy on unit 0, green metal added by unit 1.
        writeSolidJpeg(dir.file(std::string(kSceneTextureDirectory) + MetaballObject::kGalaxyTexture), 0, 0, 200);
        writeSolidJpeg(dir.file(std::string(kSceneTextureDirectory) + MetaballObject::kMetalTexture), 0, 120, 0);
    }

    // Object 6 (a dummy at x) seen from far in front of the surface's middle:
    // the surface spans z 0 to -37 in its carrier's frame.
    std::string scene(float x, bool withCarrier = true) {
        SceneFileWriter w;
        w.dummy({withCarrier ? 6 : 7, 0, {x, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}});
        w.target({3, {0, 0, -19}});
        w.camera({4, {0, 0, 60}, 3});
        w.light({5, {0, 0, 80}, {1, 1, 1}});
        w.end();
        return saveScene(w, "metamove.ppp");
    }

    // Lit pixels of the left and right halves of the frame.
    std::pair<int, int> litHalves(MetamoveEffect& effect, int time) {
        clear();
        demoProjection();
        effect.run(time);
        glFinish();
        int left = 0, right = 0;
        for (int y = 0; y < kHeight; y += 4)
            for (int x = 0; x < kWidth; x += 4)
                if (brightness(x, y) > 60) ++(x < kWidth / 2 ? left : right);
        return {left, right};
    }
};

TEST_F(MetamoveTest, TheSurfaceHangsUnderObject6WithBothTextures) {
    MetamoveEffect centred(scene(0).c_str(), *images);
    centred.init(1000);
    const auto [left, right] = litHalves(centred, 1000);
    saveFrame("metamove_centred");
    EXPECT_GT(left, 200);
    EXPECT_GT(right, 200);
    // Unit 0's galaxy and unit 1's metal, added.
    const auto p = pixel(320, 240);
    EXPECT_GT(p[2], 100);
    EXPECT_GT(p[1], 60);
    EXPECT_LT(brightness(5, 5), 30);
    EXPECT_EQ(centred.metaballs().vertexCount() % 3, 0);
    EXPECT_GT(centred.metaballs().vertexCount(), 300);

    // Carried 25 units to the left, the surface leaves the right half.
    MetamoveEffect moved(scene(-25).c_str(), *images);
    moved.init(1000);
    const auto [movedLeft, movedRight] = litHalves(moved, 1000);
    saveFrame("metamove_left");
    EXPECT_GT(movedLeft, 200);
    EXPECT_LT(movedRight, movedLeft / 10);
}

TEST_F(MetamoveTest, TheSurfaceMovesWithTheSceneTime) {
    MetamoveEffect effect(scene(0).c_str(), *images);
    effect.init(0);
    litHalves(effect, 0);
    const std::vector<std::uint8_t> first = frame();
    litHalves(effect, 20000);
    EXPECT_NE(frame(), first);
    // Scene time 2000 at the default speed: the surface has turned (2000,
    // 4000, 2880) degrees about its own axes.
    Matrix4 expected;
    expected.setEuler(degreesToRadians(2000), degreesToRadians(4000), degreesToRadians(2880));
    for (int n = 0; n < 16; ++n) EXPECT_FLOAT_EQ(effect.metaballs().rotation().m[n], expected.m[n]);
}

TEST_F(MetamoveTest, ASceneWithoutObject6EndsNamingSceneAndObject) {
    ScopedFatalErrorCapture capture;
    try {
        MetamoveEffect effect(scene(0, false).c_str(), *images);
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), "scene data/metamove.ppp has no object 6");
    }
}

}  // namespace
}  // namespace vantor::test
