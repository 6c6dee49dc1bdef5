// The start-up's scene groups (4 to 6) built from the demo's packed archive as
// the demo reads it: ids and classes in the table, culling off for the two
// scenes seen from inside, the image lookup around the groups, and one frame
// of every scene effect on the real scenes.
#include "app/demo_effects.h"
#include "app/effect_protocol.h"
#include "runtime/startup_files.h"
#include "tests/scene/effects/startup_archive_fixture.h"
#include "libs/png/png_writer.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>
#include <string>
#include <unistd.h>

namespace vantor::test {
namespace {

class StartupSceneGroupsTest : public StartupArchiveTest {
protected:
    // With VANTOR_TEST_FRAMES set, writes the frame as <that folder>/<name>.png.
    static void saveFrame(const std::string& name) {
        const char* folder = std::getenv("VANTOR_TEST_FRAMES");
        if (!folder) return;
        std::string error;
        EXPECT_TRUE(writePng(std::string(folder) + "/" + name + ".png", kWidth, kHeight, frame(), &error)) << error;
    }
};

TEST_F(StartupSceneGroupsTest, ScenesAreRegisteredAndPlayFromTheArchive) {
    DemoEffects effects(table, images, target, kDemoFiles);

    struct Row {
        int id;
        const char* file;
        bool culling;
    };
    const Row scenes[] = {{15, "data/vantor2.ppp", false}, {23, "data/arm.ppp", true},
                          {16, "data/modul2.ppp", true},   {17, "data/boost.ppp", true},
                          {18, "data/vantor.ppp", false},  {2, "data/metamove.ppp", true},
                          {26, "data/sputnik.ppp", true}};
    for (const Row& row : scenes) {
        SCOPED_TRACE(row.id);
        auto* scene = dynamic_cast<SceneEffect*>(table.get(row.id));
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(scene->sceneFile(), row.file);
        EXPECT_EQ(scene->getScene()->culling, row.culling);
    }
    EXPECT_EQ(table.get(DemoEffects::kVisorId), &effects.visor);
    EXPECT_EQ(effects.visor.sceneFile(), "data/sphere.ppp");
    EXPECT_EQ(table.get(DemoEffects::kGlowSceneId), &effects.glowScene);
    EXPECT_EQ(effects.glowScene.sceneFile(), "data/steiner.ppp");

    // Textures were looked up by base name; the hole map was read under its
    // full name with the cache's directory empty, which is "data/images/"
    // again afterwards.
    bool holeMapByFullName = false;
    for (const ImageEntry* e = images.firstEntry(); e; e = e->next)
        holeMapByFullName = holeMapByFullName || e->name == "data/images/holemap.jpg";
    EXPECT_TRUE(holeMapByFullName);
    EXPECT_NE(images.getImage("holemap.jpg"), nullptr);

    // One frame of each scene effect on the real scenes (the visor without a
    // source, then with the first scene as its source); something is drawn in each.
    for (int id : {15, 23, 16, 17, 18, 2, 26, 19, 20, -19}) {
        SCOPED_TRACE(id);
        if (id == -19) effects.visor.signal(SignalValue(VisorEffect::SOURCE, DemoEffects::kVantor2SceneId));
        Effect* effect = table.get(id < 0 ? -id : id);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        demoProjection();
        effect->init(0);
        effect->prepare(5000);
        effect->run(5000);
        effect->post();
        glFinish();
        saveFrame("startup_scene_" + std::to_string(id));
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        int lit = 0;
        for (int y = 0; y < kHeight; y += 8)
            for (int x = 0; x < kWidth; x += 8) lit += pixel(x, y)[0] + pixel(x, y)[1] + pixel(x, y)[2] > 30;
        EXPECT_GT(lit, 100) << "an empty frame";
    }
    // The metaball surface hangs in the metamove scene and was drawn.
    EXPECT_EQ(table.get(DemoEffects::kMetamoveId), &effects.metamoveScene);
    EXPECT_GT(effects.metamoveScene.metaballs().vertexCount(), 300);
}

// The protocol table describes exactly the effects the start-up registers:
// the same ids, each with the class it is built as and the scene it plays.
TEST_F(StartupSceneGroupsTest, ProtocolTableMatchesTheRegisteredEffects) {
    DemoEffects effects(table, images, target, kDemoFiles);
    for (int id = 0; id < EffectTable::kSlots; ++id) {
        SCOPED_TRACE(id);
        Effect* effect = table.get(id);
        const EffectProtocol* row = findEffectProtocol(id);
        ASSERT_EQ(effect != nullptr, row != nullptr);
        if (!effect) continue;
        int status = 0;
        std::unique_ptr<char, void (*)(void*)> name(
            abi::__cxa_demangle(typeid(*effect).name(), nullptr, nullptr, &status), std::free);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(std::string(name.get()), std::string("RegisteredEffect<") + row->className + ">");
        auto* scene = dynamic_cast<SceneEffect*>(effect);
        EXPECT_EQ(scene != nullptr, row->sceneFile != nullptr);
        if (scene) {
            EXPECT_EQ(scene->sceneFile(), row->sceneFile);
            if (row->nextCameraCode) {
                EXPECT_EQ(scene->nextCameraCode(), row->nextCameraCode);
            }
        }
    }
}

}  // namespace
}  // namespace vantor::test
