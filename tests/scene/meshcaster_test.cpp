// The meshcaster tool as a child process: dump shows what the writer wrote,
// render draws a written scene into a PNG whose pixels are checked (the last
// picture is kept as meshcaster_render_test.png in the test's directory).
#include "runtime/startup_files.h"
#include "kpx/kpx.h"
#include "libs/ppd/pack/pack.h"
#include "tests/scene/scene_fixture.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace vantor::test {
namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

ToolRun run(const std::string& arguments, const TempDir& dir) {
    const std::string out = dir.file("stdout.txt"), err = dir.file("stderr.txt");
    const std::string command =
        "cd '" + dir.path().string() + "' && '" MESHCASTER_PATH "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, readFile(out), readFile(err)};
}

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    std::array<int, 3> at(int x, int y) const {
        const unsigned char* p = &rgb[3 * (std::size_t(y) * width + x)];
        return {p[0], p[1], p[2]};
    }
    int brightness(int x, int y) const {
        const auto p = at(x, y);
        return p[0] + p[1] + p[2];
    }
};

Picture readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture picture;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) return picture;
    picture.width = int(image.width);
    picture.height = int(image.height);
    return picture;
}

class MeshcasterTest : public SceneTest {
protected:
    // Two cubes: a textured one on the left, a sphere-mapped one on the
    // right that a position track lifts by 1.5 between frames 0 and 10.
    void writeDemoScene() {
        writeTexture("checker.tga", 64, 64, [](int x, int y) {
            return ((x / 16 + y / 16) % 2) ? Rgb{230, 180, 40} : Rgb{40, 90, 200};
        });
        writeTexture("sky.tga", 64, 64, [](int x, int y) {
            return Rgb{static_cast<unsigned char>(x * 4), static_cast<unsigned char>(255 - y * 2), 160};
        });
        std::filesystem::create_directories(dir.path() / "data");
        std::filesystem::rename(dir.path() / "textures", dir.path() / "data" / "textures");

        SceneFileWriter w;
        ppp::MaterialRecord checker = plainMaterial(1, {1, 1, 1});
        checker.textures[0] = "C:\\export\\maps\\checker.tga";
        w.material(checker);
        ppp::MaterialRecord sky = plainMaterial(2, {1, 1, 1});
        sky.textures[1] = "sky.tga";
        sky.twoSided = 1;
        w.material(sky);
        w.target({9, {0, 0, 0}});
        ppp::MeshRecord left = cubeMesh(1, 0.8f, 1);
        left.name = "left";
        left.position = {-1.5f, 0, 0};
        left.rotation = {0.2f, 0.3f, 0.0f, 0.93f};
        // Coordinates for the texture: each corner by its x and y.
        for (const Vec3& v : left.vertices) left.texCoords.push_back({v.x > 0 ? 1.0f : 0.0f, v.y > 0 ? 1.0f : 0.0f});
        for (FaceIndices& f : left.faces)
            for (int k = 0; k < 3; ++k) f.texCoord[k] = f.vertex[k];
        w.mesh(left);
        ppp::DummyRecord lift;
        lift.id = 2;
        lift.position = {1.5f, 0, 0};
        w.dummy(lift);
        ppp::MeshRecord right = cubeMesh(3, 0.6f, 2);
        right.name = "right";
        right.parentId = 2;
        right.rotation = {0.3f, 0.2f, 0.1f, 0.93f};
        w.mesh(right);
        ppp::PositionKeyRecord k0, k1;
        k0.frame = 0, k0.position = {1.5f, 0, 0};
        k1.frame = 10, k1.position = {1.5f, 1.5f, 0};
        w.positionKeys(2, {k0, k1});
        w.camera({5, {0, 0, 8}, 9});
        w.camera({6, {0, 0, -8}, 9});
        w.light({7, {5, 5, 10}, {1, 1, 1}});
        w.end();
        ASSERT_TRUE(w.save(dir.file("demo.ppp")));
    }
};

TEST_F(MeshcasterTest, DumpShowsWhatTheWriterWrote) {
    writeDemoScene();
    const ToolRun r = run("dump demo.ppp", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string& out = r.out;
    EXPECT_NE(out.find("objects:\n  target 9  position (0, 0, 0)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("  mesh 1 \"left\"  vertices 8  coordinates 8  faces 12  position (-1.5, 0, 0)  rotation "
                       "(0.2, 0.3, 0, 0.93)  scale (1, 1, 1)\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  dummy 2  position (1.5, 0, 0)"), std::string::npos) << out;
    EXPECT_NE(out.find("\n    mesh 3 \"right\"  vertices 8  coordinates 0  faces 12"), std::string::npos) << out;
    EXPECT_NE(out.find("cameras:\n  camera 5  eye (0, 0, 8)  target 9\n  camera 6  eye (0, 0, -8)  target 9\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("lights:\n  light 7  position (5, 5, 10)  diffuse/specular (1, 1, 1)  ambient (0.3, 0.3, 0.3)"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  material 1  ambient (1, 1, 1)  diffuse (1, 1, 1)  specular (0, 0, 0)  shininess 25.6  "
                       "strength 0  shading 1  base \"C:\\export\\maps\\checker.tga\"\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("shading 2  two-sided  reflection \"sky.tga\""), std::string::npos) << out;
    EXPECT_NE(out.find("controllers:\n  controller owner 2  kind 2 position  class 2 key-framed  keys 2\n"),
              std::string::npos)
        << out;
}

// The last line of the listing: what the demo's reader says of the file.
std::string lastLine(const std::string& out) {
    const std::size_t end = out.size() && out.back() == '\n' ? out.size() - 1 : out.size();
    const std::size_t start = out.rfind('\n', end ? end - 1 : 0);
    return out.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1));
}

TEST_F(MeshcasterTest, DumpEndsWithWhatTheDemosReaderSays) {
    writeDemoScene();
    ToolRun r = run("dump demo.ppp", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lastLine(r.out), "ok");
    EXPECT_EQ(r.err, "");
    // Texture files are checked where --textures says they are.
    r = run("dump demo.ppp --textures data/textures", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lastLine(r.out), "ok");
    r = run("dump demo.ppp --textures nowhere", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lastLine(r.out), "Error in parsing demo.ppp: could not load texture checker.tga");
    EXPECT_EQ(r.err, "meshcaster: Error in parsing demo.ppp: could not load texture checker.tga\n");

    // Files the chunk decoder reads whole, but the demo refuses: the listing
    // is printed, then the reader's message, and the status is 1.
    SceneFileWriter orphan;
    orphan.mesh(cubeMesh(1));
    orphan.material(plainMaterial(1, {1, 1, 1}));
    orphan.positionKeys(42, {ppp::PositionKeyRecord{}});
    orphan.end();
    ASSERT_TRUE(orphan.save(dir.file("orphan.ppp")));
    r = run("dump orphan.ppp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("controllers:\n  controller owner 42"), std::string::npos) << r.out;
    EXPECT_EQ(lastLine(r.out), "Error in parsing orphan.ppp: could not find owner for controller object");
    EXPECT_EQ(r.err, "meshcaster: Error in parsing orphan.ppp: could not find owner for controller object\n");

    SceneFileWriter bare;
    bare.mesh(cubeMesh(1, 1.0f, 7));
    bare.end();
    ASSERT_TRUE(bare.save(dir.file("bare.ppp")));
    r = run("dump bare.ppp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("  mesh 1"), std::string::npos) << r.out;
    EXPECT_EQ(lastLine(r.out), "face material not found: 7");
}

TEST_F(MeshcasterTest, RenderDrawsTheSceneAtTheGivenTime) {
    writeDemoScene();
    std::filesystem::copy_file(dir.file("celpalette.pcx"), dir.file("data/celpalette.pcx"));
    ToolRun r = run("render demo.ppp start.png", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");  // quiet by default
    r = run("render demo.ppp verbose.png --verbose", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("from disk\n"), std::string::npos) << r.out;  // the image cache's lines let through
    const Picture start = readPng(dir.file("start.png"));
    ASSERT_EQ(start.width, 640);
    ASSERT_EQ(start.height, 480);

    // Camera at distance 8: world x maps to 320 + 72.4 x, y to 240 - 72.4 y.
    EXPECT_GT(start.brightness(320 - 109, 240), 150);  // the left, textured cube
    EXPECT_GT(start.brightness(320 + 109, 240), 100);  // the right cube at rest
    EXPECT_EQ(start.brightness(5, 5), 0);
    EXPECT_EQ(start.brightness(320, 240), 0);  // between the cubes

    r = run("render demo.ppp later.png --time 9.99 --size 320x240", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture later = readPng(dir.file("later.png"));
    ASSERT_EQ(later.width, 320);
    // Half the size: the right cube has left its place and is 1.5 higher.
    EXPECT_EQ(later.brightness(160 + 54, 120), 0);
    EXPECT_GT(later.brightness(160 + 54, 120 - 54), 100);

    // The second camera looks from behind: the textured cube is on the right.
    r = run("render demo.ppp behind.png --camera 6", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture behind = readPng(dir.file("behind.png"));
    EXPECT_GT(behind.brightness(320 + 109, 240), 60);
    EXPECT_EQ(behind.brightness(320 - 109, 240 + 100), 0);
    std::filesystem::copy_file(dir.file("start.png"), "meshcaster_render_test.png",
                               std::filesystem::copy_options::overwrite_existing);
}

TEST_F(MeshcasterTest, SheetHasACellForEveryCameraAndMoment) {
    writeDemoScene();
    ToolRun r = run("sheet sheet.png demo.ppp --seconds 0,0.00999 --cell 160x120 --speed demo.ppp=1", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const Picture sheet = readPng(dir.file("sheet.png"));
    // Two cameras by two moments, cells 160 x 120 with 4-pixel margins.
    ASSERT_EQ(sheet.width, 4 + 2 * 164);
    ASSERT_EQ(sheet.height, 4 + 2 * 124);
    auto at = [&](int row, int column, int x, int y) {
        return sheet.brightness(4 + column * 164 + x, 4 + row * 124 + y);
    };
    // A quarter of the 640 x 480 picture: the right cube at (80 + 27, 60) at rest ...
    EXPECT_GT(at(0, 0, 107, 60), 100);
    EXPECT_EQ(at(0, 0, 107, 33), 0);
    // ... and 1.5 higher at frame 9.99 (9.99 ms at 1 ms a frame).
    EXPECT_GT(at(0, 1, 107, 33), 100);
    // The second camera looks from behind: the textured cube is on the right.
    EXPECT_GT(at(1, 0, 107, 60), 60);
    EXPECT_EQ(at(1, 0, 53, 85), 0);
    // The margins stay the sheet's grey.
    EXPECT_GT(sheet.at(2, 2)[0], 20);

    r = run("sheet sheet.png", dir);
    EXPECT_EQ(r.status, 2);
    r = run("sheet sheet.png demo.ppp --speed demo.ppp", dir);
    EXPECT_EQ(r.status, 2);
    r = run("sheet sheet.png demo.ppp --seconds 1,x", dir);
    EXPECT_EQ(r.status, 2);
    r = run("sheet sheet.png demo.ppp missing.ppp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: Error in parsing missing.ppp: could not open file\n");
}

TEST_F(MeshcasterTest, CelShadingAndCullingCanBePreviewed) {
    writeDemoScene();
    // The right cube (object 3) in cel shading: its outline is black.
    ToolRun r = run("render demo.ppp cel.png --cel 3 --no-culling", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const Picture cel = readPng(dir.file("cel.png"));
    // The right cube now shows the shade ramp's greys (128 and up) instead of
    // its sphere map.
    const auto shade = cel.at(320 + 109, 240);
    EXPECT_GE(shade[0], 120);
    EXPECT_NEAR(shade[0], shade[1], 2);
    EXPECT_NEAR(shade[1], shade[2], 2);
    r = run("render demo.ppp plain.png", dir);
    const auto mapped = readPng(dir.file("plain.png")).at(320 + 109, 240);
    EXPECT_FALSE(std::abs(mapped[0] - mapped[1]) <= 2 && std::abs(mapped[1] - mapped[2]) <= 2);
    std::filesystem::copy_file(dir.file("cel.png"), "meshcaster_cel_test.png",
                               std::filesystem::copy_options::overwrite_existing);
    r = run("render demo.ppp cel.png --cel 99", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: demo.ppp: no object with id 99\n");
}

TEST_F(MeshcasterTest, TheMetaballSurfaceCanBePreviewedUnderObject6) {
    std::filesystem::create_directories(dir.path() / "data" / "textures");
    SceneFileWriter w;
    w.dummy({6, 0, {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}});
    w.target({3, {0, 0, -19}});
    w.camera({4, {0, 0, 60}, 3});
    w.light({5, {0, 0, 80}, {1, 1, 1}});
    w.end();
    ASSERT_TRUE(w.save(dir.file("metamove.ppp")));

    // The surface needs its two textures.
    ToolRun r = run("render metamove.ppp blob.png --metaballs", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: could not load image data/textures/blank metall.jpg\n");

    for (const char* name : {"galakse.jpg", "blank metall.jpg"}) {
        kpximage* img = kpx_create(64, 64, 24, 0);
        for (int i = 0; i < 64 * 64; ++i) img->image[3 * i + 1] = img->image[3 * i + 2] = 150;
        kpx_save_jpg(dir.file(std::string("data/textures/") + name).c_str(), img);
        kpx_free(img);
    }
    r = run("render metamove.ppp blob.png --metaballs --time 300", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const Picture blob = readPng(dir.file("blob.png"));
    int lit = 0;
    for (int y = 0; y < 480; y += 4)
        for (int x = 0; x < 640; x += 4) lit += blob.brightness(x, y) > 100;
    EXPECT_GT(lit, 500);
    EXPECT_LT(blob.brightness(2, 2), 30);
    std::filesystem::copy_file(dir.file("blob.png"), "meshcaster_metaballs_test.png",
                               std::filesystem::copy_options::overwrite_existing);
    // Without the flag the scene holds nothing to see.
    r = run("render metamove.ppp empty.png --time 300", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_LT(readPng(dir.file("empty.png")).brightness(320, 240), 30);

    SceneFileWriter without6;
    without6.dummy({7, 0, {0, 0, 0}, {0, 0, 0, 1}, {1, 1, 1}});
    without6.camera({4, {0, 0, 60}, 7});
    without6.end();
    ASSERT_TRUE(without6.save(dir.file("other.ppp")));
    r = run("render other.ppp out.png --metaballs", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: other.ppp: no object with id 6 to carry the metaballs\n");
}

TEST_F(MeshcasterTest, ReadsSceneAndTexturesFromThePackedArchive) {
    writeDemoScene();
    // The archive holds what the loose files held; the loose files go away.
    std::vector<ppd_pack::Member> members;
    for (const char* name : {"demo.ppp", "celpalette.pcx", "data/textures/checker.tga", "data/textures/sky.tga"}) {
        const std::string bytes = readFile(dir.file(name));
        members.push_back({name, std::vector<std::uint8_t>(bytes.begin(), bytes.end())});
    }
    ppd_pack::PackOptions options;
    options.solid = true;
    options.password = kDemoFiles.password;
    const std::vector<std::uint8_t> archive = ppd_pack::packArchive(members, options);
    dir.write("demo.ppd", std::string(archive.begin(), archive.end()));
    ToolRun loose = run("render demo.ppp loose.png", dir);
    ASSERT_EQ(loose.status, 0) << loose.err;
    std::filesystem::remove_all(dir.path() / "data");
    std::filesystem::rename(dir.file("demo.ppp"), dir.file("moved.ppp"));

    ToolRun r = run("render demo.ppp packed.png --archive demo.ppd", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readPng(dir.file("packed.png")).rgb, readPng(dir.file("loose.png")).rgb);
    r = run("dump demo.ppp --archive demo.ppd", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("mesh 1 \"left\""), std::string::npos);

    r = run("dump demo.ppp --archive demo.ppd --password wrong", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: demo.ppp: could not open file\n");
    r = run("dump demo.ppp --archive nothing.ppd", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: nothing.ppd: cannot open the archive\n");
}

TEST_F(MeshcasterTest, ErrorsGoToStderrWithAFailingStatus) {
    writeDemoScene();
    ToolRun r = run("render missing.ppp out.png", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: Error in parsing missing.ppp: could not open file\n");
    r = run("dump missing.ppp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: missing.ppp: could not open file\n");
    r = run("render demo.ppp out.png --camera 77", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: demo.ppp: no camera with id 77\n");
    r = run("render demo.ppp out.png --textures nowhere", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: Error in parsing demo.ppp: could not load texture checker.tga\n");
    r = run("render demo.ppp", dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("usage: meshcaster"), std::string::npos);
    r = run("render demo.ppp out.png --size 0x10", dir);
    EXPECT_EQ(r.status, 2);
    r = run("frobnicate", dir);
    EXPECT_EQ(r.status, 2);
    r = run("--help", dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("meshcaster render FILE.ppp OUT.png"), std::string::npos);

    dir.write("short.ppp", std::string("\0\0\0\0\2\0\0\0\10\0\0\0", 12));
    r = run("dump short.ppp", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "meshcaster: short.ppp: mesh chunk runs past the end of the data\n");
}

}  // namespace
}  // namespace vantor::test
