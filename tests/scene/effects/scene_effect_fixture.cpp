#include "tests/scene/effects/scene_effect_fixture.h"

#include "kpx/kpx.h"
#include "libs/png/png_writer.h"

#include <cstdlib>

#include <filesystem>

namespace vantor::test {

void SceneEffectTest::SetUp() {
    SceneTest::SetUp();
    dir.enter();
    std::filesystem::create_directories(dir.path() / "data" / "textures");
}

std::string SceneEffectTest::saveScene(const SceneFileWriter& writer, const std::string& name) {
    const std::string path = "data/" + name;
    EXPECT_TRUE(writer.save(dir.file(path)));
    return path;
}

void SceneEffectTest::writeTwoCubes(SceneFileWriter& w) {
    w.material(plainMaterial(1, {1, 0, 0}));
    w.material(plainMaterial(2, {0, 1, 0}));
    ppp::MeshRecord red = cubeMesh(1, 1, 1), green = cubeMesh(2, 1, 2);
    red.position = {-3, 0, 0};
    green.position = {3, 0, 0};
    w.mesh(red);
    w.mesh(green);
    w.target({7, {-3, 0, 0}});
    w.target({8, {3, 0, 0}});
    w.camera({5, {-3, 0, 8}, 7});
    w.camera({6, {3, 0, 8}, 8});
    w.light({9, {0, 0, 20}, {1, 1, 1}});
}

void SceneEffectTest::writeSceneTexture(const std::string& name, int width, int height, Rgb colour) {
    kpximage* img = kpx_create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 24, 0);
    for (int i = 0; i < width * height; ++i) {
        img->image[3 * i] = colour[0];
        img->image[3 * i + 1] = colour[1];
        img->image[3 * i + 2] = colour[2];
    }
    ASSERT_EQ(kpx_save_tga(dir.file("data/textures/" + name).c_str(), img, 0), 1);
    kpx_free(img);
}

void SceneEffectTest::saveFrame(const std::string& name) {
    const char* folder = std::getenv("VANTOR_TEST_FRAMES");
    if (!folder) return;
    std::string error;
    EXPECT_TRUE(writePng(std::string(folder) + "/" + name + ".png", kWidth, kHeight, frame(), &error)) << error;
}

}  // namespace vantor::test
