// GlowSceneEffect: the highlight cycle and the pulse over music time, the hole
// map cut into object 2's texture, the screen projection, and the glow sprites
// read back from the offscreen frame.
#include "runtime/fatal_error.h"
#include "runtime/frame_steps.h"
#include "kpx/kpx.h"
#include "scene/effects/glow_scene_effect.h"
#include "scene/effects/screen_projection.h"
#include "tests/scene/effects/scene_effect_fixture.h"

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace vantor::test {
namespace {

// The current camera's view as the modelview, as drawing the scene loads it
// (the effect pops it again before it returns).
void loadCameraView(const Scene& scene) {
    const Vec3& eye = scene.currentCamera->position();
    const SceneObject* target = scene.findObject(scene.currentCamera->targetId);
    const Vec3 centre = target ? target->position() : Vec3();
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
}

struct GlowSceneOptions {
    int missingObject = 0;  // an id of 2, 5, 6, 7 to leave out
    bool texturedObject2 = true;
    std::optional<Vec3> object5;  // another place for object 5
    float cameraDistance = 40;
    bool secondCamera = false;  // camera 11 after camera 9
};

class GlowSceneTest : public SceneEffectTest {
protected:
    void SetUp() override {
        SceneEffectTest::SetUp();
        writeSceneTexture("stone.tga", 64, 64, {255, 0, 0});
        writeHoleMap(64, 64, [](int, int) { return 255; });
    }

    // An 8-bit hole map "holes.pcx" in the image library's folder.
    void writeHoleMap(int width, int height, int (*value)(int x, int y)) {
        kpximage* map = kpx_create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 8, 256);
        for (int i = 0; i < 256; ++i) map->palette[3 * i] = map->palette[3 * i + 1] = map->palette[3 * i + 2] = i;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) map->image[y * width + x] = static_cast<unsigned char>(value(x, y));
        ASSERT_EQ(kpx_save_pcx(dir.file("holes.pcx").c_str(), map), 1);
        kpx_free(map);
    }

    // Object 2 a textured red quad, 5 green, 6 blue and 7 yellow quads, all
    // facing the camera at (0, 0, cameraDistance), up left, up right, down left
    // and down right. The places project to just above whole pixels of the
    // 256 x 256 capture (normalised +-0.25 plus 0.001): the capture truncates
    // the position, and the glow magnifies that error up to nine times.
    std::string glowScene(const GlowSceneOptions& o = {}) {
        SceneFileWriter w;
        ppp::MaterialRecord stone = plainMaterial(1, {1, 1, 1});
        if (o.texturedObject2) stone.textures[0] = "stone.tga";
        w.material(stone);
        w.material(plainMaterial(2, {0, 1, 0}));
        w.material(plainMaterial(3, {0, 0, 1}));
        w.material(plainMaterial(4, {1, 1, 0}));
        const int ids[4] = {2, 5, 6, 7};
        const float halfHeight = o.cameraDistance * std::tan(22.5f * float(M_PI) / 180.0f);
        const float left = -0.249f, right = 0.251f, up = 0.251f, down = -0.249f;
        const float nx[4] = {left, right, left, right}, ny[4] = {up, up, down, down};
        for (int k = 0; k < 4; ++k) {
            if (ids[k] == o.missingObject) continue;
            ppp::MeshRecord m = quadMesh(ids[k], 1, k + 1);
            m.position = {nx[k] * halfHeight * 4 / 3, ny[k] * halfHeight, 0};
            if (k == 1 && o.object5) m.position = *o.object5;
            w.mesh(m);
        }
        w.target({8, {0, 0, 0}});
        w.camera({9, {0, 0, o.cameraDistance}, 8});
        if (o.secondCamera) w.camera({11, {0, 0, 2 * o.cameraDistance}, 8});
        w.light({10, {0, 0, 50}, {1, 1, 1}});
        w.end();
        return saveScene(w, "steiner.ppp");
    }

    std::unique_ptr<GlowSceneEffect> effect(const GlowSceneOptions& o = {}) {
        return std::make_unique<GlowSceneEffect>(glowScene(o).c_str(), "holes.pcx", *images);
    }

    // One frame as the table runs it: the capture pass, then the display pass.
    void frame(GlowSceneEffect& e, int time) {
        clear();
        demoProjection();
        e.prepare(time);
        e.run(time);
        glFinish();
    }

    // The fatal error text of building the effect ("" when it builds).
    std::string buildError(const GlowSceneOptions& o) {
        const std::string scene = glowScene(o);
        ScopedFatalErrorCapture capture;
        try {
            GlowSceneEffect e(scene.c_str(), "holes.pcx", *images);
        } catch (const FatalError& error) {
            return error.what();
        }
        return "";
    }

    // RGBA texels of a 2D texture's level 0.
    static std::vector<unsigned char> texels(GLuint texture, int& width, int& height) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        std::vector<unsigned char> out(std::size_t(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
};

TEST_F(GlowSceneTest, HighlightMovesEveryPeriodAndWrapsOverwritingSignalledLevels) {
    auto e = effect();
    e->init(0);
    e->signal(SignalValue(GlowSceneEffect::GLOW_LEVEL1, 80));
    e->signal(SignalValue(GlowSceneEffect::GLOW_LEVEL4, 5));
    EXPECT_FLOAT_EQ(e->level(0), 0.8f);
    EXPECT_FLOAT_EQ(e->level(3), 0.05f);

    // The checks fall on the 60 Hz step grid: 1066 is not more than a
    // period after 0 yet, 1083 is.
    e->run(1070);
    EXPECT_EQ(e->highlighted(), 0);
    EXPECT_FLOAT_EQ(e->level(0), 0.8f);

    e->run(1083);
    EXPECT_EQ(e->highlighted(), 1);
    EXPECT_FLOAT_EQ(e->level(0), 0.15f);  // the signalled level is gone
    EXPECT_FLOAT_EQ(e->level(1), 0.35f);
    EXPECT_EQ(e->lastCycle(), 1083);

    e->run(2150);
    EXPECT_EQ(e->highlighted(), 1);
    e->run(2166);
    e->run(3250);
    EXPECT_EQ(e->highlighted(), 3);
    EXPECT_FLOAT_EQ(e->level(3), 0.35f);  // overwritten on arrival
    EXPECT_FLOAT_EQ(e->level(1), 0.15f);
    e->run(4333);
    EXPECT_EQ(e->highlighted(), 0);  // wrapped from the fourth to the first
    EXPECT_FLOAT_EQ(e->level(0), 0.35f);
    EXPECT_FLOAT_EQ(e->level(3), 0.15f);

    // A late frame catches up with every step in between: it shows what
    // frames at 60 a second show there.
    e->run(20000);
    auto steady = effect();
    steady->init(0);
    for (std::int64_t k = 1; frame_steps::stepTime(0, k) <= 20000; ++k) steady->run(frame_steps::stepTime(0, k));
    EXPECT_EQ(e->highlighted(), steady->highlighted());
    EXPECT_EQ(e->lastCycle(), steady->lastCycle());
    EXPECT_FLOAT_EQ(e->pulse(), steady->pulse());
}

TEST_F(GlowSceneTest, PeriodSignalPutsThePulseHalfAPeriodAfterTheLastStep) {
    auto e = effect();
    e->init(500);
    EXPECT_EQ(e->lastPulse(), 500);
    e->run(1583);  // the first step of the grid more than 1070 ms on: a cycle and a pulse
    EXPECT_EQ(e->lastCycle(), 1583);
    EXPECT_FLOAT_EQ(e->pulse(), 0.2f);
    e->run(1633);  // steps at 1600, 1616, 1633: 17 + 33 + 50 ms come off
    EXPECT_NEAR(e->pulse(), 0.1f, 1e-6);
    e->run(1683);
    EXPECT_FLOAT_EQ(e->pulse(), 0.0f);

    e->signal(SignalValue(GlowSceneEffect::GLOW_PERIOD, 2000));
    EXPECT_EQ(e->period(), 2000);
    EXPECT_EQ(e->lastPulse(), 1583 + 1000);
    e->run(3583);
    EXPECT_EQ(e->highlighted(), 1);
    e->run(3600);  // more than 2000 ms after the last cycle
    EXPECT_EQ(e->highlighted(), 2);
    EXPECT_FLOAT_EQ(e->pulse(), 0.0f);
    e->run(4583);
    EXPECT_FLOAT_EQ(e->pulse(), 0.0f);
    e->run(4600);  // more than 2000 ms after 2583
    EXPECT_FLOAT_EQ(e->pulse(), 0.2f);
    EXPECT_EQ(e->lastPulse(), 4600);
}

// The glow scene switches cameras with codes of its own, not the other scene
// effects' ones, and names its next-camera code to those that drive it.
TEST_F(GlowSceneTest, CamerasSwitchWithTheGlowCodesOnly) {
    GlowSceneOptions two;
    two.secondCamera = true;
    auto e = effect(two);
    ASSERT_EQ(e->getScene()->currentCamera->id, 9);
    e->signal(SignalValue(SceneEffect::NEXT_CAMERA, 0));
    e->signal(SignalValue(SceneEffect::CAMERA, 11));
    EXPECT_EQ(e->getScene()->currentCamera->id, 9);
    e->signal(SignalValue(e->nextCameraCode(), 0));
    EXPECT_EQ(e->getScene()->currentCamera->id, 11);
    e->signal(SignalValue(GlowSceneEffect::GLOW_CAMERA, 9));
    EXPECT_EQ(e->getScene()->currentCamera->id, 9);
}

TEST_F(GlowSceneTest, HoleMapBecomesTheAlphaOfObjectTwosTexture) {
    // Left half open, right half solid.
    writeHoleMap(64, 64, [](int x, int) { return x < 32 ? 0 : 255; });
    GlowSceneOptions near;
    near.cameraDistance = 15;
    auto e = effect(near);
    Texture* stone = e->getScene()->findMaterial(1)->baseTexture();
    int w = 0, h = 0;
    const std::vector<unsigned char> t = texels(stone->glName(), w, h);
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 64);
    EXPECT_EQ(t[4 * 5 + 3], 0);
    EXPECT_EQ(t[4 * (40 * 64 + 40) + 3], 255);
    EXPECT_EQ(t[4 * 5], 255);  // colours untouched

    // The capture of object 2 keeps only the solid half.
    frame(*e, 0);
    const std::vector<unsigned char> glow = texels(e->glowTexture(0).glName(), w, h);
    ASSERT_EQ(w, 128);
    const auto at = [&](int x, int y) { return &glow[4 * (std::size_t(y) * 128 + x)]; };
    EXPECT_LT(at(64 - 8, 64)[0], 30);
    EXPECT_GT(at(64 + 8, 64)[0], 150);
}

TEST_F(GlowSceneTest, SmallerHoleMapCutsOnlyAsFarAsItReaches) {
    // 32 x 32 bytes of zeros cover the first 16 rows of the 64 x 64 texture.
    writeHoleMap(32, 32, [](int, int) { return 0; });
    auto e = effect();
    const kpximage* image = e->getScene()->findMaterial(1)->baseTexture()->image();
    ASSERT_EQ(image->bpp, 32);
    EXPECT_EQ(image->image[4 * (15 * 64 + 63) + 3], 0);
    EXPECT_EQ(image->image[4 * (16 * 64) + 3], 255);
    EXPECT_EQ(image->image[4 * (64 * 64 - 1) + 3], 255);
}

TEST_F(GlowSceneTest, EachGlowLandsOnItsProjectedObject) {
    auto e = effect();
    e->init(0);
    const auto setLevels = [&](int lit) {
        for (int j = 0; j < 4; ++j) e->signal(SignalValue(GlowSceneEffect::GLOW_LEVEL1 + j, j == lit ? 30 : -1000));
    };
    // Without glows (levels far below zero): the enlarged objects alone.
    setLevels(-1);
    frame(*e, 0);
    const std::vector<std::uint8_t> bare = GlTest::frame();
    // Screen centres of the four objects, y from the top.
    std::vector<ScreenPoint> centres;
    glPushMatrix();
    loadCameraView(*e->getScene());
    for (int id : GlowSceneEffect::kGlowIds) {
        const auto p = projectToScreen(e->getScene()->findObject(id)->position(), kWidth, kHeight, 320, 240);
        ASSERT_TRUE(p);
        centres.push_back({p->x, kHeight - p->y});
    }
    glPopMatrix();
    EXPECT_EQ(centres[0].x, 240);
    EXPECT_EQ(centres[0].y, 180);

    // One glow at a time: the light it adds is centred on its object and has
    // the object's colour (red, green, blue, yellow).
    const int colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    for (int k = 0; k < 4; ++k) {
        setLevels(k);
        frame(*e, 0);
        saveFrame("glow" + std::to_string(k));
        const std::vector<std::uint8_t> lit = GlTest::frame();
        double sum = 0, sx = 0, sy = 0, channel[3] = {0, 0, 0};
        int darker = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c) {
                    const std::size_t i = 4 * (std::size_t(y) * kWidth + x) + c;
                    const int added = int(lit[i]) - int(bare[i]);
                    darker += added < 0;
                    sum += added, sx += double(added) * x, sy += double(added) * y, channel[c] += added;
                }
        EXPECT_EQ(darker, 0) << "glows only add light";
        ASSERT_GT(sum, 0) << "glow " << k;
        EXPECT_NEAR(sx / sum, centres[k].x, 3) << "glow " << k;
        EXPECT_NEAR(sy / sum, centres[k].y, 3) << "glow " << k;
        for (int c = 0; c < 3; ++c) {
            if (colours[k][c])
                EXPECT_GT(channel[c], 0.3 * sum) << "glow " << k << " channel " << c;
            else
                EXPECT_LT(channel[c], 0.01 * sum) << "glow " << k << " channel " << c;
        }
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlowSceneTest, ProjectionMatchesGluProjectAndSkipsTheEyePlane) {
    demoProjection();
    gluLookAt(1, 2, 10, 0, 0, 0, 0, 1, 0);
    GLdouble model[16], projection[16];
    GLint viewport[4] = {0, 0, kWidth, kHeight};
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    for (const Vec3& p : {Vec3(0, 0, 0), Vec3(3, -1, 2), Vec3(-4, 2.5f, -6)}) {
        GLdouble x, y, z;
        gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
        const auto s = projectToScreen(p, kWidth, kHeight, kWidth / 2, kHeight / 2);
        ASSERT_TRUE(s);
        EXPECT_NEAR(s->x, x, 1.01);
        EXPECT_NEAR(s->y, y, 1.01);
    }
    // A point in the plane through the eye across the view: no position.
    glLoadIdentity();
    EXPECT_FALSE(projectToScreen({5, 1, 0}, kWidth, kHeight, 320, 240));
    EXPECT_FALSE(projectToScreen({0, 0, 0}, kWidth, kHeight, 320, 240));
    EXPECT_FALSE(projectToScreen({1e-30f, 0, -1e-37f}, kWidth, kHeight, 320, 240));
}

TEST_F(GlowSceneTest, AnObjectOnTheEyePlaneLosesOnlyItsGlowForTheFrame) {
    GlowSceneOptions o;
    o.object5 = Vec3(5, 0, 40);  // beside the camera, level with it
    auto e = effect(o);
    e->init(0);
    frame(*e, 0);
    saveFrame("eye_plane");
    // Object 2's glow is still drawn around it.
    glPushMatrix();
    loadCameraView(*e->getScene());
    const auto p = projectToScreen(e->getScene()->findObject(2)->position(), kWidth, kHeight, 320, 240);
    glPopMatrix();
    ASSERT_TRUE(p);
    EXPECT_GT(pixel(p->x + 40, kHeight - p->y)[0], 60);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlowSceneTest, MissingObjectsTextureOrHoleMapEndTheProgramNamingThem) {
    for (int id : {2, 5, 6, 7}) {
        GlowSceneOptions o;
        o.missingObject = id;
        EXPECT_EQ(buildError(o), "scene data/steiner.ppp has no object " + std::to_string(id));
    }
    GlowSceneOptions plain;
    plain.texturedObject2 = false;
    EXPECT_EQ(buildError(plain), "scene data/steiner.ppp has no base texture on object 2");

    const std::string scene = glowScene();
    ScopedFatalErrorCapture capture;
    try {
        GlowSceneEffect e(scene.c_str(), "nowhere.jpg", *images);
        FAIL() << "no error";
    } catch (const FatalError& error) {
        EXPECT_EQ(std::string(error.what()), "could not load image nowhere.jpg");
    }
}

}  // namespace
}  // namespace vantor::test
