#include "tests/scene/scene_fixture.h"

#include "kpx/kpx.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "scene/texture.h"

#include <filesystem>
#include <fstream>

namespace vantor::test {

void SceneTest::SetUp() {
    GlTest::SetUp();
    if (kpx_verbose()) kpx_verbose_off();
    demoProjection();

    // The shade ramp: 256 greys from 128 to 255, so a cel-shaded surface is
    // never black and only its outline is.
    kpximage* ramp = kpx_create(256, 1, 8, 256);
    for (int i = 0; i < 256; ++i) {
        ramp->palette[3 * i] = ramp->palette[3 * i + 1] = ramp->palette[3 * i + 2] =
            static_cast<unsigned char>(128 + i / 2);
        ramp->image[i] = static_cast<unsigned char>(i);
    }
    ASSERT_EQ(kpx_save_pcx(dir.file("celpalette.pcx").c_str(), ramp), 1);
    kpx_free(ramp);
    std::filesystem::create_directories(dir.path() / "textures");

    images = std::make_unique<ImageLibrary>();
    images->setPath((dir.path().string() + "/").c_str());
}

void SceneTest::demoProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, double(kWidth) / kHeight, 0.1, 20000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1, 1, 1, 1);
}

void SceneTest::writeTexture(const std::string& name, int width, int height,
                             const std::function<Rgb(int, int)>& colour) {
    kpximage* img = kpx_create(static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 24, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            unsigned char* p = img->image + 3 * (std::size_t(y) * width + x);
            p[0] = c[0];
            p[1] = c[1];
            p[2] = c[2];
        }
    ASSERT_EQ(kpx_save_tga((dir.path() / "textures" / name).string().c_str(), img, 0), 1);
    kpx_free(img);
}

std::unique_ptr<Scene> SceneTest::load(const SceneFileWriter& writer) { return loadBytes(writer.bytes()); }

std::unique_ptr<Scene> SceneTest::loadBytes(const std::vector<unsigned char>& bytes) {
    // Removed first: truncating a file that was just written makes some file
    // systems flush it, which slows the thousands of loads of a mutation run.
    std::filesystem::remove(sceneFile());
    std::ofstream(sceneFile(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    SceneFileReader reader;
    return std::unique_ptr<Scene>(reader.load(sceneFile().c_str(), textureDirectory().c_str(), images.get()));
}

std::string SceneTest::loadError(const std::vector<unsigned char>& bytes) {
    ScopedSceneErrorCapture capture;
    try {
        loadBytes(bytes);
    } catch (const SceneErrorRaised& error) {
        return error.what();
    }
    return "";
}

ppp::MeshRecord cubeMesh(std::int32_t id, float h, std::int32_t material) {
    ppp::MeshRecord m;
    m.id = id;
    m.name = "cube";
    for (int i = 0; i < 8; ++i) m.vertices.push_back({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    // Each side as two counter-clockwise triangles seen from outside.
    const std::uint32_t sides[6][4] = {
        {4, 5, 7, 6},  // +z
        {1, 0, 2, 3},  // -z
        {5, 1, 3, 7},  // +x
        {0, 4, 6, 2},  // -x
        {6, 7, 3, 2},  // +y
        {0, 1, 5, 4},  // -y
    };
    for (const auto& s : sides) {
        FaceIndices a, b;
        a.vertex[0] = s[0], a.vertex[1] = s[1], a.vertex[2] = s[2];
        b.vertex[0] = s[0], b.vertex[1] = s[2], b.vertex[2] = s[3];
        a.materialId = b.materialId = material;
        m.faces.push_back(a);
        m.faces.push_back(b);
    }
    return m;
}

ppp::MeshRecord quadMesh(std::int32_t id, float h, std::int32_t material) {
    ppp::MeshRecord m;
    m.id = id;
    m.name = "quad";
    m.vertices = {{-h, -h, 0}, {h, -h, 0}, {h, h, 0}, {-h, h, 0}};
    m.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    FaceIndices a, b;
    const std::uint32_t first[3] = {0, 1, 2}, second[3] = {0, 2, 3};
    for (int k = 0; k < 3; ++k) {
        a.vertex[k] = a.texCoord[k] = first[k];
        b.vertex[k] = b.texCoord[k] = second[k];
    }
    a.materialId = b.materialId = material;
    m.faces = {a, b};
    return m;
}

ppp::MaterialRecord plainMaterial(std::int32_t id, const Vec3& diffuse) {
    ppp::MaterialRecord r;
    r.id = id;
    r.ambient = diffuse;
    r.diffuse = diffuse;
    r.shininess = 0.2f;
    return r;
}

void SceneTest::writeSolidJpeg(const std::string& path, int r, int g, int b) {
    kpximage* img = kpx_create(64, 64, 24, 0);
    for (int i = 0; i < 64 * 64; ++i) {
        img->image[3 * i] = std::uint8_t(r);
        img->image[3 * i + 1] = std::uint8_t(g);
        img->image[3 * i + 2] = std::uint8_t(b);
    }
    kpx_save_jpg(path.c_str(), img);  // tells failure by the error list only
    kpx_free(img);
    ASSERT_TRUE(std::filesystem::exists(path));
}

}  // namespace vantor::test
