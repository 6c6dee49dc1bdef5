// SceneEffect: music time to scene time, and the signals that switch cameras,
// speed, culling and cel shading, checked on scenes written with
// SceneFileWriter and drawn in the offscreen context.
#include "runtime/fatal_error.h"
#include "scene/effects/scene_effect.h"
#include "scene/scene_error.h"
#include "tests/scene/effects/scene_effect_fixture.h"

#include <memory>

namespace vantor::test {
namespace {

class SceneEffectPlayTest : public SceneEffectTest {
protected:
    std::unique_ptr<SceneEffect> effect(const SceneFileWriter& w) {
        return std::make_unique<SceneEffect>(saveScene(w, "scene.ppp").c_str(), *images);
    }

    // Red cube 1 at x = -3 seen by camera 5, green cube 2 at x = +3 seen by
    // camera 6; object 1 moves along y by position keys, 10 units every 100 frames from 0 to 300.
    static SceneFileWriter twoCubes() {
        SceneFileWriter w;
        writeTwoCubes(w);
        std::vector<ppp::PositionKeyRecord> keys(4);
        for (int i = 0; i < 4; ++i) keys[i].frame = 100 * i, keys[i].position = {-3, 10.0f * i, 0};
        w.positionKeys(1, keys);
        w.end();
        return w;
    }

    float redHeight(SceneEffect& e) const { return e.getScene()->findObject(1)->position().y; }

    // Which cube the centre of the frame shows: 'r', 'g' or '-'.
    char centre(SceneEffect& e, int time) {
        clear();
        demoProjection();
        e.run(time);
        glFinish();
        const auto p = pixel(320, 240);
        if (p[0] > 100 && p[1] < 40) return 'r';
        if (p[1] > 100 && p[0] < 40) return 'g';
        return '-';
    }
};

TEST_F(SceneEffectPlayTest, MusicTimeBecomesSceneTimeFromTheStartAtTheSpeed) {
    auto e = effect(twoCubes());
    EXPECT_EQ(e->getSpeed(), 10.0f);
    e->init(1000);
    e->run(1000);  // scene time 0
    EXPECT_FLOAT_EQ(redHeight(*e), 0.0f);
    e->run(2000);  // 1000 ms at 10 ms a unit
    EXPECT_FLOAT_EQ(redHeight(*e), 10.0f);
    e->run(3000);
    EXPECT_FLOAT_EQ(redHeight(*e), 20.0f);

    // Signal 10 with 20: 20 ms a unit, half the rate.
    e->signal(SignalValue(SceneEffect::SPEED, 20));
    e->run(3000);
    EXPECT_FLOAT_EQ(redHeight(*e), 10.0f);
    e->run(2000);
    const float halfway = redHeight(*e);
    EXPECT_GT(halfway, 0.5f);
    EXPECT_LT(halfway, 9.5f);

    // A later init moves scene time 0 with it.
    e->init(5000);
    e->run(5000);
    EXPECT_FLOAT_EQ(redHeight(*e), 0.0f);
    EXPECT_FLOAT_EQ(e->sceneTime(5000 + 400), 20.0f);
}

TEST_F(SceneEffectPlayTest, CameraSignalsChangeWhatTheFrameShows) {
    auto e = effect(twoCubes());
    e->init(0);
    EXPECT_EQ(centre(*e, 0), 'r');
    e->signal(SignalValue(SceneEffect::NEXT_CAMERA, 0));
    EXPECT_EQ(centre(*e, 0), 'g');
    e->signal(SignalValue(SceneEffect::NEXT_CAMERA, 0));  // wraps to the first
    EXPECT_EQ(centre(*e, 0), 'r');
    e->signal(SignalValue(SceneEffect::CAMERA, 6));
    EXPECT_EQ(centre(*e, 0), 'g');
    // An id no camera has selects the first camera.
    e->signal(SignalValue(SceneEffect::CAMERA, 77));
    EXPECT_EQ(e->getScene()->currentCamera->id, 5);
    EXPECT_EQ(centre(*e, 0), 'r');
    // Codes the effect does not know change nothing.
    e->signal(SignalValue(2, 0));
    e->signal(SignalValue(SceneEffect::NEXT_CAMERA, "x"));
    EXPECT_EQ(e->getScene()->currentCamera->id, 6);
}

TEST_F(SceneEffectPlayTest, CullingSignalAndCelShadingSignal) {
    // The camera inside a big cube sees only its back faces.
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.material(plainMaterial(2, {1, 1, 1}));
    w.mesh(cubeMesh(1, 20, 1));
    ppp::MeshRecord small = cubeMesh(3, 1, 2);
    small.position = {50, 0, 0};
    w.mesh(small);
    w.target({2, {0, 0, -1}});
    w.camera({4, {0, 0, 0}, 2});
    w.light({5, {0, 0, 0}, {1, 1, 1}});
    w.end();
    auto e = effect(w);
    e->init(0);

    clear();
    e->run(0);
    EXPECT_EQ(brightness(320, 240), 0);
    e->signal(SignalValue(SceneEffect::CULLING, 0));
    clear();
    e->run(0);
    EXPECT_GT(brightness(320, 240), 0);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    e->signal(SignalValue(SceneEffect::CULLING, 5));  // any non-zero value
    clear();
    e->run(0);
    EXPECT_EQ(brightness(320, 240), 0);

    // 122 cel-shades the named object's materials; an unknown id changes nothing.
    e->signal(SignalValue(SceneEffect::CEL, 999));
    EXPECT_EQ(e->getScene()->findMaterial(1)->shading, ShadingMode::Lit);
    e->signal(SignalValue(SceneEffect::CEL, 3));
    EXPECT_EQ(e->getScene()->findMaterial(2)->shading, ShadingMode::Cel);
    EXPECT_EQ(e->getScene()->findMaterial(1)->shading, ShadingMode::Lit);
}

TEST_F(SceneEffectPlayTest, AMissingSceneFileEndsWithTheReadersMessage) {
    ScopedSceneErrorCapture capture;
    try {
        SceneEffect e("data/none.ppp", *images);
        FAIL() << "no error";
    } catch (const SceneErrorRaised& error) {
        EXPECT_EQ(std::string(error.what()), "Error in parsing data/none.ppp: could not open file\n");
    }
}

}  // namespace
}  // namespace vantor::test
