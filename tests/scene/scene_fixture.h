// Shared set-up of the scene tests: the offscreen GL context with the demo's
// projection, a temporary folder holding the shade ramp "celpalette.pcx" and
// test textures, an image cache reading from it, and helpers that write a
// scene with SceneFileWriter and read it back with SceneFileReader.
#pragma once

#include "imglib/image_library.h"
#include "scene/scene.h"
#include "scene/format/scene_file_writer.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace vantor::test {

using Rgb = std::array<unsigned char, 3>;

class SceneTest : public GlTest {
protected:
    void SetUp() override;

    // 45 degrees vertical field of view, 640/480, near 0.1, far 20000; depth
    // test with GL_LEQUAL; model-view current and identity.
    static void demoProjection();

    // Writes a 24-bit TGA texture below textures/ whose pixel (x, y), y from
    // the top, has the colour the function gives.
    void writeTexture(const std::string& name, int width, int height, const std::function<Rgb(int x, int y)>& colour);
    // Writes a 64 x 64 JPEG of one colour at path; the test fails if it is not there.
    static void writeSolidJpeg(const std::string& path, int r, int g, int b);

    // Writes the scene to a file in the temporary folder and loads it with
    // the textures directory and the test's image cache.
    std::unique_ptr<Scene> load(const SceneFileWriter& writer);
    std::unique_ptr<Scene> loadBytes(const std::vector<unsigned char>& bytes);
    // The SceneError text that loading these bytes raises ("" when it loads).
    std::string loadError(const std::vector<unsigned char>& bytes);

    std::string sceneFile() const { return dir.file("scene.ppp"); }
    std::string textureDirectory() const { return dir.file("textures") + "/"; }

    TempDir dir;
    std::unique_ptr<ImageLibrary> images;
};

// A cube of side 2 x half around its origin, faces wound counter-clockwise
// seen from outside, no texture coordinates, every face with material 1.
ppp::MeshRecord cubeMesh(std::int32_t id, float half = 1.0f, std::int32_t material = 1);
// A square of side 2 x half in the x-y plane facing +z, texture coordinates
// (0, 0) at the lower left to (1, 1) at the upper right, two faces.
ppp::MeshRecord quadMesh(std::int32_t id, float half = 1.0f, std::int32_t material = 1);
// A material with the given diffuse colour, ambient = diffuse, no textures.
ppp::MaterialRecord plainMaterial(std::int32_t id, const Vec3& diffuse);

}  // namespace vantor::test
