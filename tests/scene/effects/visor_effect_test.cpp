// VisorEffect: the visor images around the sphere scene, the reflection of a
// two-camera source against its foreground, the scene's rate and the fatal
// ends of a scene without the reflecting object.
#include "runtime/effect_table.h"
#include "runtime/fatal_error.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "effects/swirl_effect.h"
#include "scene/effects/visor_effect.h"
#include "tests/effects/script_signals.h"
#include "tests/scene/effects/scene_effect_fixture.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace vantor::test {
namespace {

using Rgba = std::array<unsigned char, 4>;

class VisorTest : public SceneEffectTest {
protected:
    void SetUp() override {
        SceneEffectTest::SetUp();
        std::filesystem::create_directories(dir.path() / "data" / "images");
        // Behind: an opaque blue frame 64 pixels wide, open inside.
        writeVisorImage(VisorEffect::kFullVisorImage, [](int x, int y) {
            const bool frame = x < 64 || x >= 1024 - 64 || y < 64 || y >= 512 - 64;
            return frame ? Rgba{0, 0, 255, 255} : Rgba{0, 0, 0, 0};
        });
        // In front: an opaque red band along the bottom, half-transparent
        // white along the top, open elsewhere.
        writeVisorImage(VisorEffect::kFrontVisorImage, [](int, int y) {
            if (y >= 448) return Rgba{255, 0, 0, 255};
            if (y < 32) return Rgba{255, 255, 255, 128};
            return Rgba{0, 0, 0, 0};
        });
    }
    // A 1024 x 512 32-bit TGA below "data/images/"; y counts from the top.
    void writeVisorImage(const char* name, const std::function<Rgba(int x, int y)>& colour) {
        kpximage* img = kpx_create(1024, 512, 32, 0);
        for (int y = 0; y < 512; ++y)
            for (int x = 0; x < 1024; ++x) {
                const Rgba c = colour(x, y);
                std::copy(c.begin(), c.end(), img->image + 4 * (std::size_t(y) * 1024 + x));
            }
        ASSERT_EQ(kpx_save_tga(dir.file(std::string("data/images/") + name).c_str(), img, 0), 1);
        kpx_free(img);
    }

    // The sphere scene: object 1, a quad facing the camera, left of the
    // middle of the screen; it moves up by 10 every 100 scene units.
    std::string sphereScene(bool withObject1 = true) {
        SceneFileWriter w;
        w.material(plainMaterial(1, {1, 1, 1}));
        if (withObject1) {
            ppp::MeshRecord m = quadMesh(1, 1.5f, 1);
            m.position = {-4, 0, 0};
            w.mesh(m);
            std::vector<ppp::PositionKeyRecord> keys(3);
            for (int i = 0; i < 3; ++i) keys[i].frame = 100 * i, keys[i].position = {-4, 10.0f * i, 0};
            w.positionKeys(1, keys);
        } else {
            w.dummy({1, 0, {}, {0, 0, 0, 1}, {1, 1, 1}});
            w.mesh(quadMesh(2, 1, 1));
        }
        w.target({3, {0, 0, 0}});
        w.camera({4, {0, 0, 12}, 3});
        w.camera({5, {0, 5, 12}, 3});
        w.light({6, {0, 0, 20}, {1, 1, 1}});
        w.end();
        return saveScene(w, "sphere.ppp");
    }

    // A source scene: a red cube at x = -3 seen by camera 5, a green cube at
    // x = +3 seen by camera 6, each in the middle of its view.
    std::string sourceScene() {
        SceneFileWriter w;
        writeTwoCubes(w);
        w.end();
        return saveScene(w, "source.ppp");
    }

    void frame(VisorEffect& e, int time) {
        clear();
        demoProjection();
        e.prepare(time);
        e.run(time);
        glFinish();
    }

    std::string buildError(const std::string& scene, ImageLibrary& library) {
        ScopedFatalErrorCapture capture;
        try {
            VisorEffect e(scene.c_str(), library);
            e.useEffectTable(table);
        } catch (const FatalError& error) {
            return error.what();
        }
        return "";
    }

    // Screen position of a point of the sphere scene seen through its first
    // camera, y from the top.
    static std::array<int, 2> objectOnScreen(const Vec3& p) {
        GLdouble model[16], projection[16], x, y, z;
        GLint viewport[4];
        glLoadIdentity();
        gluLookAt(0, 0, 12, 0, 0, 0, 0, 1, 0);
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
        return {int(x), kHeight - 1 - int(y)};
    }

    EffectTable table;  // the test's own: where the visor finds its source
};

bool looks(const std::array<std::uint8_t, 4>& p, int r, int g, int b, int tolerance = 24) {
    return near(p[0], r, tolerance) && near(p[1], g, tolerance) && near(p[2], b, tolerance);
}

TEST_F(VisorTest, WithoutSourceTheVisorImagesFrameTheSphere) {
    VisorEffect e(sphereScene().c_str(), *images);
    e.useEffectTable(table);
    EXPECT_EQ(e.getScene()->findMaterial(1)->shading, ShadingMode::MirroredSphereMap);
    e.init(0);
    frame(e, 0);
    saveFrame("visor_alone");
    const auto sphere = objectOnScreen(e.getScene()->findObject(1)->position());
    // Behind: the blue frame at the sides (64 of 1024 columns = 40 pixels).
    EXPECT_TRUE(looks(pixel(10, 240), 0, 0, 255));
    EXPECT_TRUE(looks(pixel(kWidth - 10, 240), 0, 0, 255));
    EXPECT_TRUE(looks(pixel(45, 100), 0, 0, 0));
    // In front: red along the bottom (over the blue frame), white blended
    // half over the blue frame at the top.
    EXPECT_TRUE(looks(pixel(320, kHeight - 10), 255, 0, 0));
    EXPECT_TRUE(looks(pixel(10, kHeight - 10), 255, 0, 0));
    EXPECT_TRUE(looks(pixel(320, 5), 128, 128, 255, 8));
    // The sphere between them, showing the render texture's first grey
    // (127, alpha 127) blended over the black inside of the visor.
    EXPECT_TRUE(looks(pixel(sphere[0], sphere[1]), 63, 63, 63, 6)) << int(pixel(sphere[0], sphere[1])[0]);
    EXPECT_TRUE(looks(pixel(320, 240), 0, 0, 0));
    // The scene was drawn without writing depth, and left blending off.
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(e.getScene()->findMaterial(1)->blend);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(VisorTest, TwoCameraSourceShowsOneCameraReflectedAndTheOtherInFront) {
    SceneEffect source(sourceScene().c_str(), *images);
    VisorEffect visor(sphereScene().c_str(), *images);
    visor.useEffectTable(table);
    table.set(15, &source);
    table.set(19, &visor);
    source.init(0);
    visor.init(0);
    visor.signal(SignalValue(VisorEffect::SOURCE, 15));
    ASSERT_EQ(visor.source(), &source);

    for (int f = 0; f < 3; ++f) {
        frame(visor, 10 * f);
        saveFrame("visor_source" + std::to_string(f));
        // The sphere faces the camera: its whole face shows the middle of
        // the capture, what the source's second camera sees (green).
        const auto sphere = objectOnScreen(visor.getScene()->findObject(1)->position());
        const auto reflected = pixel(sphere[0], sphere[1]);
        EXPECT_GT(reflected[1], 100) << "frame " << f;
        EXPECT_LT(reflected[0], 30) << "frame " << f;
        // In front, over everything: the first camera (red).
        const auto front = pixel(320, 240);
        EXPECT_GT(front[0], 100) << "frame " << f;
        EXPECT_LT(front[1], 30) << "frame " << f;
        EXPECT_EQ(source.getScene()->currentCamera->id, 5);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A scene effect that records the codes it is sent and switches cameras with
// a code of its own, as the glow scene does.
class OwnCameraCodeScene : public SceneEffect {
public:
    static constexpr int kOwnNextCamera = 2;
    using SceneEffect::SceneEffect;
    int nextCameraCode() const override { return kOwnNextCamera; }
    void signal(SignalValue value) override { codes.push_back(value.code); }
    std::vector<int> codes;
};

// Each source is switched to its next camera with the code that source takes:
// its own for a scene effect, NEXT_CAMERA for any other effect.
TEST_F(VisorTest, SourceGetsTheNextCameraCodeItTakes) {
    OwnCameraCodeScene source(sourceScene().c_str(), *images);
    VisorEffect visor(sphereScene().c_str(), *images);
    visor.useEffectTable(table);
    table.set(20, &source);
    visor.signal(SignalValue(VisorEffect::SOURCE, 20));
    frame(visor, 0);
    EXPECT_EQ(source.codes, (std::vector<int>{OwnCameraCodeScene::kOwnNextCamera, OwnCameraCodeScene::kOwnNextCamera}));

    SceneEffect plain(sourceScene().c_str(), *images);
    table.set(15, &plain);
    visor.signal(SignalValue(VisorEffect::SOURCE, 15));
    frame(visor, 0);
    EXPECT_EQ(plain.getScene()->currentCamera->id, 5);  // switched twice: back to the first
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(VisorTest, OnlyTheSourceSignalCounts) {
    VisorEffect e(sphereScene().c_str(), *images);
    e.useEffectTable(table);
    table.set(19, &e);
    e.init(1000);
    // Speed, camera and culling signals change nothing.
    e.signal(SignalValue(SceneEffect::SPEED, 20));
    e.signal(SignalValue(SceneEffect::NEXT_CAMERA, 0));
    e.signal(SignalValue(SceneEffect::CULLING, 0));
    EXPECT_EQ(e.getSpeed(), 10.0f);
    EXPECT_EQ(e.getScene()->currentCamera->id, 4);
    EXPECT_TRUE(e.getScene()->culling);
    // One scene unit a millisecond.
    e.run(1100);
    EXPECT_FLOAT_EQ(e.getScene()->findObject(1)->position().y, 10.0f);

    // Its own id or an empty slot gives no source.
    e.signal(SignalValue(VisorEffect::SOURCE, 19));
    EXPECT_EQ(e.source(), nullptr);
    e.signal(SignalValue(VisorEffect::SOURCE, 3));
    EXPECT_EQ(e.source(), nullptr);
    frame(e, 1100);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(VisorTest, ASourceThatCapturesTheVisorIsRefused) {
    VisorEffect visor(sphereScene().c_str(), *images);
    SwirlEffect swirl(nullptr);
    visor.useEffectTable(table);
    swirl.useEffectTable(table);
    table.set(19, &visor);
    table.set(13, &swirl);

    // The visor shows the swirl; the swirl would capture the visor.
    ::testing::internal::CaptureStderr();
    playScriptEvents(
        "SETUP\nTIMELINE\n100 SIGNAL 19 70 13\n100 SIGNAL 13 70 19\n100 INIT 19\n100 START 19\n"
        "100 START 13\nLINETIME\n",
        table);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "effect 13 cannot draw effect 19, which draws effect 13 already: signal ignored\n");
    EXPECT_EQ(visor.source(), &swirl);
    EXPECT_EQ(swirl.source, nullptr);
    table.runAll(200);

    // The other way round: the swirl captures the visor, which would show it.
    ::testing::internal::CaptureStderr();
    playScriptEvents("SETUP\nTIMELINE\n300 SIGNAL 19 70 3\n300 SIGNAL 13 70 19\n300 SIGNAL 19 70 13\nLINETIME\n",
                     table);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "effect 19 cannot draw effect 13, which draws effect 19 already: signal ignored\n");
    EXPECT_EQ(swirl.source, &visor);
    EXPECT_EQ(visor.source(), nullptr);
    table.runAll(400);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(VisorTest, MissingReflectorOrImagesEndTheProgramNamingThem) {
    EXPECT_EQ(buildError(sphereScene(false), *images), "scene data/sphere.ppp has no material on object 1");
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.mesh(quadMesh(2, 1, 1));
    w.camera({4, {0, 0, 12}, 2});
    w.end();
    EXPECT_EQ(buildError(saveScene(w, "other.ppp"), *images), "scene data/other.ppp has no object 1");

    // A fresh cache: the one above holds the images already.
    std::filesystem::remove(dir.file(std::string("data/images/") + VisorEffect::kFrontVisorImage));
    ImageLibrary fresh;
    fresh.setPath((dir.path().string() + "/").c_str());
    const std::string error = buildError(sphereScene(), fresh);
    EXPECT_EQ(error, "could not load image data/images/visir_front3.tga");
}

}  // namespace
}  // namespace vantor::test
