// The demo's scene files as the build writes them: a second run gives the same
// bytes; each loads through the demo's reader and passes meshcaster dump; each
// has what the effects that play it need; and every camera shows something at
// times across the whole show, at the rate the show plays the scene.
//
// Textures are stand-ins of the sizes the shared look lists (the picture
// generator draws the real ones): the test also checks that every texture a
// scene names is on that list.
#include "app/demo_gl_state.h"
#include "content/common/demo_look.h"
#include "content/scenes/kit/primitives.h"
#include "content/scenes/kit/rotation.h"
#include "content/scenes/scenes.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "platform/gl_api.h"
#include "scene/mesh_object.h"
#include "scene/format/scene_chunk_decoder.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sys/wait.h>

namespace vantor::test {
namespace {

std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string built(const char* file) { return std::string(DEMO_DATA_DIR) + "/" + file; }

class DemoSceneFiles : public GlTest {
protected:
    static void SetUpTestSuite() {
        if (kpx_verbose()) kpx_verbose_off();
        textures_ = new TempDir;
        for (const auto& t : look::kSceneTextures) {
            // TGA textures carry alpha; the stand-ins take the glow scene's
            // see-through alpha, the only one the look uses for them.
            const bool tga = std::string(t.name).find(".tga") != std::string::npos;
            const int depth = tga ? 4 : 3;
            kpximage* img = kpx_create(std::uint16_t(t.width), std::uint16_t(t.height), std::uint16_t(8 * depth), 0);
            for (int i = 0; i < t.width * t.height; ++i) {
                const bool line = (i % t.width) % 32 < 2 || (i / t.width) % 32 < 2;
                unsigned char* px = img->image + depth * i;
                px[0] = line ? 250 : 120, px[1] = 140, px[2] = line ? 90 : 170;
                if (tga) px[3] = std::uint8_t(look::kUnglowingAlpha);
            }
            if (tga)
                kpx_save_tga(textures_->file(t.name).c_str(), img, 1);
            else
                kpx_save_jpg(textures_->file(t.name).c_str(), img);  // tells failures only through its error list
            ASSERT_TRUE(std::filesystem::file_size(textures_->file(t.name)) > 0) << t.name;
            kpx_free(img);
        }
        setFatalErrorSink([](const std::string& text) { throw std::runtime_error(text); });
    }
    static void TearDownTestSuite() {
        delete textures_;
        textures_ = nullptr;
    }

    std::unique_ptr<Scene> load(const char* file) {
        images_ = std::make_unique<ImageLibrary>();
        SceneFileReader reader;
        return std::unique_ptr<Scene>(
            reader.load(built(file).c_str(), (textures_->path().string() + "/").c_str(), images_.get()));
    }

    static TempDir* textures_;
    std::unique_ptr<ImageLibrary> images_;
};
TempDir* DemoSceneFiles::textures_ = nullptr;

TEST_F(DemoSceneFiles, ASecondRunWritesTheSameBytes) {
    TempDir dir;
    const std::string command = std::string("'" SCENES_TOOL "' '") + dir.path().string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const auto& scene : demoscenes::kDemoScenes) {
        const auto first = readBytes(built(scene.file));
        ASSERT_FALSE(first.empty()) << scene.file;
        EXPECT_TRUE(first == readBytes(dir.file(scene.file))) << scene.file << " differs between runs";
    }
}

TEST_F(DemoSceneFiles, EachPassesDumpAndNamesOnlyTheAgreedTextures) {
    std::set<std::string> agreed;
    for (const auto& t : look::kSceneTextures) agreed.insert(t.name);
    for (const auto& scene : demoscenes::kDemoScenes) {
        const std::string command = std::string("'" MESHCASTER_PATH "' dump '") + built(scene.file) + "' >/dev/null";
        const int status = std::system(command.c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << scene.file;

        ppd_file* file = ppd_open(built(scene.file).c_str());
        ASSERT_TRUE(file) << scene.file;
        ppp::ChunkDecoder decoder(file);
        ASSERT_TRUE(decoder.readLeadWord());
        ppp::Chunk chunk;
        ppp::ChunkDecoder::Result result;
        while ((result = decoder.next(chunk)) == ppp::ChunkDecoder::Result::Chunk && chunk.type != ppp::kEndChunk)
            if (chunk.type == ppp::kMaterialChunk) {
                for (const std::string& name : chunk.material.textures) {
                    if (!name.empty()) {
                        EXPECT_TRUE(agreed.count(name)) << scene.file << " names " << name;
                    }
                }
            }
        EXPECT_EQ(chunk.type, std::uint32_t(ppp::kEndChunk)) << scene.file << ": " << decoder.error();
        ppd_close(file);
    }
}

// The kit's tracks, read back and played by the demo's own scene code, move
// objects the way the kit describes them: a path through spline keys, a
// spin, a sampled orbit, and an eased arrival that stops dead at its key (the
// titles' letters) instead of overshooting on the way to a later hold key.
TEST_F(DemoSceneFiles, KitTracksPlayBackAsDescribed) {
    using namespace scenekit;
    SceneBuilder b("tracks");
    b.material(1, {});
    Mesh cube = box({1, 1, 1});
    cube.setMaterial(1);
    auto circle = [](float f) { return Vec3{50 * std::sin(f / 300), 0, 50 * std::cos(f / 300)}; };
    b.mesh(2, 0, "path", cube);
    b.positionKeys(2, pathKeys(0, 3000, 60, circle));
    b.mesh(3, 0, "spin", cube);
    b.rotationKeys(3, spinKeys(0, 3000, {0, 1, 0}, 0.7f));
    b.mesh(4, 0, "orbit", cube);
    b.samples(4, 20, sampleTrack(151, 20, [&](float f) { return Sample{circle(f), turn({0, 0, 1}, f / 10)}; }));
    b.mesh(5, 0, "arrival", cube);
    b.positionKeys(
        5,
        {{0, {0, 0, -200}, 0, 0.3f}, {200, {0, 20, -80}}, {300, {10, 0, 0}, 0.9f, 0, 1}, {3000, {10, 0, 0}, 0, 0, 1}});
    b.camera(6, {0, 0, 100}, 2);
    b.camera(7, {0, 100, 0}, 2);
    b.light(8, {0, 50, 50}, {1, 1, 1});
    const auto bytes = b.finish();
    TempDir dir;
    {
        std::ofstream out(dir.file("tracks.ppp"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ImageLibrary images;
    SceneFileReader reader;
    std::unique_ptr<Scene> scene(reader.load(dir.file("tracks.ppp").c_str(), "", &images));
    for (float f = 0; f < 2990; f += 37) {
        scene->update(f);
        const Vec3 p = scene->findObject(2)->position(), want = circle(f);
        EXPECT_NEAR(p.x, want.x, 0.2) << f;
        EXPECT_NEAR(p.z, want.z, 0.2) << f;
        const Vec3 x = scene->findObject(3)->rotation().rotate({1, 0, 0});
        const Vec3 spun = rotate(turn({0, 1, 0}, 0.7f * f), {1, 0, 0});
        EXPECT_NEAR(x.x, spun.x, 1e-3) << f;
        EXPECT_NEAR(x.z, spun.z, 1e-3) << f;
        const Vec3 o = scene->findObject(4)->position();
        EXPECT_NEAR(o.x, want.x, 0.1) << f;
        const Vec3 up = scene->findObject(4)->rotation().rotate({1, 0, 0});
        EXPECT_NEAR(up.y, std::sin(f / 10 * 3.14159265f / 180), 2e-3) << f;
        const Vec3 a = scene->findObject(5)->position();
        if (f >= 300) {
            EXPECT_NEAR(a.x, 10, 1e-3) << f;
            EXPECT_NEAR(a.z, 0, 1e-3) << f;
        } else {
            EXPECT_LE(a.z, 0.01f) << "no overshoot before the arrival, frame " << f;
        }
    }
}

// What the effects need of their scenes.
TEST_F(DemoSceneFiles, EachHasWhatItsEffectNeeds) {
    for (const auto& entry : demoscenes::kDemoScenes) {
        auto scene = load(entry.file);
        ASSERT_TRUE(scene) << entry.file;
        int cameras = 0;
        for (SceneObject* c = scene->cameras; c; c = c->next) ++cameras;
        EXPECT_GE(cameras, 2) << entry.file;
        EXPECT_TRUE(scene->lights) << entry.file;
    }
    {
        auto scene = load("metamove.ppp");
        EXPECT_TRUE(scene->findObject(6)) << "the surface's carrier";
    }
    {
        auto scene = load("sphere.ppp");
        auto* sphere = dynamic_cast<MeshObject*>(scene->findObject(1));
        ASSERT_TRUE(sphere);
        ASSERT_FALSE(sphere->faces().empty());
        for (const Face& f : sphere->faces()) ASSERT_TRUE(f.material);
    }
    {
        auto scene = load("steiner.ppp");
        for (int id : {2, 5, 6, 7}) {
            SceneObject* stone = scene->findObject(id);
            ASSERT_TRUE(stone) << id;
            bool root = false;
            for (SceneObject* o = scene->objects; o; o = o->next) root = root || o == stone;
            EXPECT_TRUE(root) << "object " << id << " is placed in the world frame";
            EXPECT_EQ(stone->scale().x, 1.0f);
            EXPECT_EQ(stone->scale().y, 1.0f);
            EXPECT_EQ(stone->scale().z, 1.0f);
        }
        auto* cut = dynamic_cast<MeshObject*>(scene->findObject(2));
        ASSERT_TRUE(cut && !cut->faces().empty() && cut->faces()[0].material);
        Texture* base = cut->faces()[0].material->baseTexture();
        ASSERT_TRUE(base && base->image());
        EXPECT_EQ(base->image()->width, look::kHoleMapWidth);
        EXPECT_EQ(base->image()->height, look::kHoleMapHeight);
    }
}

// Triangles of every mesh in a list and below it (billboards draw one quad).
std::size_t triangles(const SceneObject* o) {
    std::size_t n = 0;
    for (; o; o = o->next) {
        if (auto* mesh = dynamic_cast<const MeshObject*>(o); mesh && !dynamic_cast<const BillboardObject*>(o))
            n += mesh->faces().size();
        n += triangles(o->firstChild());
    }
    return n;
}

// Share of pixels brighter than black in a frame.
double litShare(const std::vector<std::uint8_t>& rgba) {
    std::size_t lit = 0;
    for (std::size_t i = 0; i < rgba.size(); i += 4) lit += (rgba[i] + rgba[i + 1] + rgba[i + 2]) > 24;
    return double(lit) / double(rgba.size() / 4);
}

// A frame set up as the demo sets up its own (the same GL state and
// projection), on an opaque black background.
void beginDemoFrame(int width, int height) {
    setInitialGlState();
    setDemoProjection(width, height);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

TEST_F(DemoSceneFiles, EveryCameraShowsTheSceneThroughoutTheShow) {
    const int musicMs[] = {0, 2000, 15000, 60000, 150000, 239000};
    for (const auto& entry : demoscenes::kDemoScenes) {
        auto scene = load(entry.file);
        scene->setCulling(entry.culling);
        EXPECT_LE(triangles(scene->objects), 20000u) << entry.file << ": too heavy for immediate mode";
        for (SceneObject* c = scene->cameras; c; c = c->next) {
            scene->selectCamera(c->id);
            for (int ms : musicMs) {
                beginDemoFrame(kWidth, kHeight);
                scene->update(float(ms) / float(entry.speed));
                scene->draw();
                glFinish();
                EXPECT_GT(litShare(frame()), 0.05) << entry.file << " camera " << c->id << " at " << ms << " ms";
            }
        }
    }
}

// A camera that rides through a beam fills the screen with the beam's inside.
// Drawn with the far plane pulled in to kReach, only surfaces that close to
// the camera cover pixels; at every half second of music across the show, at
// each scene's rate, no camera may have most of its view that close.
TEST_F(DemoSceneFiles, NoCameraRidesThroughTheScene) {
    constexpr double kReach = 2.0;
    constexpr int kSmall = 80;
    for (const auto& entry : demoscenes::kDemoScenes) {
        auto scene = load(entry.file);
        scene->setCulling(entry.culling);
        for (SceneObject* c = scene->cameras; c; c = c->next) {
            scene->selectCamera(c->id);
            for (int ms = 0; ms <= 240000; ms += 500) {
                beginDemoFrame(kSmall, kSmall);
                glMatrixMode(GL_PROJECTION);
                glLoadIdentity();
                gluPerspective(45.0, 1.0, 0.1, kReach);
                glMatrixMode(GL_MODELVIEW);
                scene->update(float(ms) / float(entry.speed));
                scene->draw();
                std::vector<float> depth(kSmall * kSmall);
                glReadPixels(0, 0, kSmall, kSmall, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
                const auto near = std::count_if(depth.begin(), depth.end(), [](float d) { return d < 1.0f; });
                ASSERT_LT(double(near) / double(depth.size()), 0.5)
                    << entry.file << " camera " << c->id << " at " << ms << " ms has a surface within " << kReach
                    << " units across most of its view";
            }
        }
    }
    glViewport(0, 0, kWidth, kHeight);
}

// The glow effect's capture pass draws the whole steiner scene under an alpha
// test passing only alpha above 0.9, shows one glowing stone at a time and
// copies the half-view square round its screen position. For clean glows the
// test must leave out everything but the stones, the stones must pass it, and
// every camera must keep each stone's centre within half the view from the
// middle (or the square reaches past the capture view) for the longest the
// show plays the scene from one start.
TEST_F(DemoSceneFiles, GlowSceneCapturesHoldOnlyTheirStoneInsideTheView) {
    constexpr int kGlowIds[] = {2, 5, 6, 7};
    constexpr float kLongestPlayMs = 16000;
    float speed = 0;
    for (const auto& entry : demoscenes::kDemoScenes)
        if (std::string(entry.file) == "steiner.ppp") speed = float(entry.speed);
    ASSERT_GT(speed, 0);
    auto scene = load("steiner.ppp");
    scene->setCulling(true);
    auto stone = [&](int id) { return scene->findObject(id); };
    auto captureDraw = [&](int shown) {
        beginDemoFrame(kWidth, kHeight);
        glColor4f(1, 1, 1, 1);
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.9f);
        for (int id : kGlowIds) stone(id)->setVisible(id == shown);
        scene->draw();
        glDisable(GL_ALPHA_TEST);
        glFinish();
        return litShare(frame());
    };
    for (SceneObject* c = scene->cameras; c; c = c->next) {
        scene->selectCamera(c->id);
        for (float ms = 0; ms <= kLongestPlayMs; ms += 800) {
            SCOPED_TRACE("camera " + std::to_string(c->id) + " at " + std::to_string(int(ms)) + " ms");
            scene->update(ms / speed);
            EXPECT_EQ(captureDraw(0), 0.0) << "something but a glowing stone passes the capture's alpha test";
            EXPECT_GT(captureDraw(5), 0.001) << "a glowing stone fails the capture's alpha test";
            GLdouble model[16], projection[16];
            GLint viewport[4];
            glGetDoublev(GL_MODELVIEW_MATRIX, model);
            glGetDoublev(GL_PROJECTION_MATRIX, projection);
            glGetIntegerv(GL_VIEWPORT, viewport);
            for (int id : kGlowIds) {
                const Vec3 p = stone(id)->position();
                GLdouble x, y, z;
                ASSERT_TRUE(gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z));
                EXPECT_LE(std::fabs(2 * x / kWidth - 1), 0.5) << "stone " << id << " across";
                EXPECT_LE(std::fabs(2 * y / kHeight - 1), 0.5) << "stone " << id << " up";
                EXPECT_LT(z, 1.0) << "stone " << id << " in front of the camera";
            }
        }
    }
    for (int id : kGlowIds) stone(id)->setVisible(true);
}

}  // namespace
}  // namespace vantor::test
