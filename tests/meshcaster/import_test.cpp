// meshcaster import on real files from the field (Debian's assimp-testmodels):
// good files of every format become scene files the demo's reader loads,
// with their objects, triangles, cameras, materials and textures; animation
// replays as the file means it; broken and truncated files are refused with
// a message and leave nothing behind.
#include "kpx/kpx.h"
#include "libs/ppd/ppd.h"
#include "scene/mesh_object.h"
#include "scene/format/scene_chunk_decoder.h"
#include "scene/scene_file_reader.h"
#include "scene/scene_object.h"
#include "tests/scene/scene_fixture.h"
#include "tools/meshcaster/import/import_transform.h"
#include "tools/meshcaster/import/scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/wait.h>

namespace vantor::test {
namespace {

namespace fs = std::filesystem;
const std::string kModels = "/usr/share/assimp/models/";

struct Counts {
    int objects = 0, meshes = 0, triangles = 0, cameras = 0, lights = 0, materials = 0;
    int keyed = 0, sampled = 0;
    std::vector<std::string> textures;
    std::vector<std::int32_t> cameraIds;
};

// What the file holds, by the format's own decoder.
Counts countChunks(const std::string& path) {
    Counts c;
    ppd_file* file = ppd_open(path.c_str());
    if (!file) return c;
    ppp::ChunkDecoder decoder(file);
    ppp::Chunk chunk;
    if (decoder.readLeadWord())
        while (decoder.next(chunk) == ppp::ChunkDecoder::Result::Chunk && chunk.type != ppp::kEndChunk) {
            switch (chunk.type) {
            case ppp::kMeshChunk: ++c.objects, ++c.meshes, c.triangles += int(chunk.mesh.faces.size()); break;
            case ppp::kDummyChunk:
            case ppp::kTargetChunk: ++c.objects; break;
            case ppp::kCameraChunk: ++c.cameras, c.cameraIds.push_back(chunk.camera.id); break;
            case ppp::kLightChunk: ++c.lights; break;
            case ppp::kMaterialChunk:
                ++c.materials;
                if (!chunk.material.textures[0].empty()) c.textures.push_back(chunk.material.textures[0]);
                break;
            case ppp::kControllerChunk:
                ++(chunk.controller.controllerClass == ppp::kKeyFramedClass ? c.keyed : c.sampled);
                break;
            }
        }
    ppd_close(file);
    return c;
}

bool haveModels() { return fs::exists(kModels + "glTF2"); }

class ImportTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        if (!haveModels()) GTEST_SKIP() << "assimp-testmodels is not installed";
    }

    // Imports into the test's folder; the status and what went to stderr.
    int import(const std::string& model, std::string* messages = nullptr, float scale = 1) {
        meshimport::ImportOptions options;
        options.input = model[0] == '/' ? model : kModels + model;
        options.output = sceneFile();
        options.textures = importedTextures();
        options.scale = scale;
        std::FILE* err = std::tmpfile();
        const int status = meshimport::importScene(options, err);
        std::rewind(err);
        char buffer[4096];
        std::string text;
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, err)) > 0;) text.append(buffer, n);
        std::fclose(err);
        if (messages) *messages = text;
        return status;
    }

    // The imported scene, read by the demo's reader with its textures.
    std::unique_ptr<Scene> loadImported() {
        SceneFileReader reader;
        return std::unique_ptr<Scene>(reader.load(sceneFile().c_str(), importedTextures().c_str(), images.get()));
    }

    std::string importedTextures() const { return dir.file("imported") + "/"; }
};

struct GoodFile {
    const char* path;
    int objects, triangles, cameras, lights, materials;
    std::vector<std::string> textures;
};

TEST_F(ImportTest, GoodFilesOfEveryFormatLoadInTheDemosReader) {
    const std::vector<GoodFile> files = {
        // glTF: external image, embedded data URIs, binary container.
        {"glTF2/BoxTextured-glTF/BoxTextured.gltf", 4, 12, 2, 1, 1, {"CesiumLogoFlat.jpg"}},
        {"glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf", 4, 12, 2, 1, 1, {"BoxTextured-0.jpg"}},
        {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", 4, 12, 2, 1, 1, {"BoxTextured-0.jpg"}},
        {"glTF2/cameras/Cameras.gltf", 7, 2, 2, 1, 1, {}},
        // OBJ: textures named ".\name.jpg" relative to the MTL; material names with spaces.
        {"OBJ/spider.obj",
         22,
         1312,
         2,
         1,
         4,
         {"wal67ar_small.jpg", "SpiderTex.jpg", "drkwood2.jpg", "engineflare1.jpg"}},
        {"OBJ/box_mat_with_spaces.obj", 4, 12, 2, 1, 1, {}},
        // Collada with its own camera and light, and a texture in TGA; a
        // texture named by a relative Windows path.
        {"Collada/duck.dae", 6, 4212, 1, 1, 1, {"duckCM.jpg"}},
        {"Collada/teapots.DAE", 6, 2976, 2, 1, 3, {"earthSpherical.jpg"}},
        // 3DS, animated.
        {"3DS/RotatingCube.3DS", 4, 12, 2, 1, 1, {}},
        // FBX: binary and text with an embedded picture.
        {"FBX/phong_cube.fbx", 4, 12, 2, 1, 1, {}},
        {"FBX/embedded_ascii/box.FBX", 4, 12, 2, 1, 1, {"uv_test.jpg"}},
    };
    for (const GoodFile& f : files) {
        SCOPED_TRACE(f.path);
        fs::remove_all(importedTextures());
        std::string messages;
        ASSERT_EQ(import(f.path, &messages), 0) << messages;
        const Counts c = countChunks(sceneFile());
        EXPECT_EQ(c.objects, f.objects);
        EXPECT_EQ(c.triangles, f.triangles);
        EXPECT_EQ(c.cameras, f.cameras);
        EXPECT_EQ(c.lights, f.lights);
        EXPECT_EQ(c.materials, f.materials);
        std::vector<std::string> textures = c.textures, expected = f.textures;
        std::sort(textures.begin(), textures.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(textures, expected);
        for (const std::string& t : expected) EXPECT_TRUE(fs::exists(importedTextures() + t)) << t;
        // No temporary file is left next to what was written.
        for (const auto& entry : fs::directory_iterator(dir.path()))
            EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
        const std::unique_ptr<Scene> scene = loadImported();
        ASSERT_TRUE(scene);
        EXPECT_TRUE(scene->objects);
        EXPECT_TRUE(scene->currentCamera);
    }
}

// Every file the issue names as broken, and truncated copies of good ones:
// the reader's message, status 1, no scene file and no textures.
TEST_F(ImportTest, BrokenAndTruncatedFilesAreRefusedWithoutOutput) {
    std::vector<std::string> broken;
    for (const char* folder : {"invalid", "glTF2/wrongTypes", "glTF2/IndexOutOfRange", "glTF2/MissingBin"})
        for (const auto& entry : fs::directory_iterator(kModels + folder)) {
            const std::string name = entry.path().string();
            const std::string ext = entry.path().extension().string();
            // The huge-count file needs the tool's process bounds: see the next test.
            if (ext == ".bin" || ext == ".png" || ext == ".txt" || name.find("OutOfMemory") != std::string::npos)
                continue;
            broken.push_back(name);
        }
    ASSERT_GE(broken.size(), 20u);
    const std::string truncated = dir.file("cut");
    for (const char* good :
         {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "Collada/duck.dae", "3DS/RotatingCube.3DS",
          "FBX/phong_cube.fbx", "FBX/embedded_ascii/box.FBX", "glTF2/BoxTextured-glTF-Embedded/BoxTextured.gltf"}) {
        const std::string bytes = readFile(kModels + good);
        for (int percent : {10, 50, 90}) {
            const std::string path =
                truncated + "/" + std::to_string(percent) + "-" + fs::path(good).filename().string();
            dir.write("cut/" + fs::path(path).filename().string(), bytes.substr(0, bytes.size() * percent / 100));
            broken.push_back(path);
        }
    }
    for (const std::string& file : broken) {
        SCOPED_TRACE(file);
        std::string messages;
        EXPECT_EQ(import(file, &messages), 1);
        EXPECT_EQ(messages.rfind("meshcaster: " + file + ": ", 0), 0u) << messages;
        EXPECT_GT(messages.size(), file.size() + 16) << "no reason given";
        EXPECT_FALSE(fs::exists(sceneFile()));
        EXPECT_FALSE(fs::exists(importedTextures()));
    }
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

int runTool(const std::string& arguments, std::string* err) {
    const std::string errPath = fs::temp_directory_path() / ("import_test_" + std::to_string(getpid()) + ".err");
    const int raw = std::system(("'" MESHCASTER_PATH "' " + arguments + " 2>'" + errPath + "' >/dev/null").c_str());
    *err = readFile(errPath);
    fs::remove(errPath);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// A file that claims hundreds of billions of faces: the tool's memory bound
// makes the reader fail at once instead of swapping the machine; a file the
// reader crashes on fails with a message too.
TEST_F(ImportTest, TheToolBoundsWhatAFileMayAskFor) {
    std::string err;
    EXPECT_EQ(runTool("import " + kModels + "invalid/OutOfMemory.off '" + sceneFile() + "'", &err), 1);
    EXPECT_NE(err.find("more memory than an import may take"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(sceneFile()));
    // A byte the text FBX reader crashes on: the crash ends only the
    // process that reads, and the tool says so.
    std::string box = readFile(kModels + "FBX/embedded_ascii/box.FBX");
    if (box.size() == 602377) {
        box[183236] = char(0xC9);
        const std::string model = dir.write("crash.FBX", box);
        EXPECT_EQ(runTool("import '" + model + "' '" + sceneFile() + "' --textures '" + importedTextures() + "'", &err),
                  1);
        EXPECT_NE(err.find("the model reader crashed on the file"), std::string::npos) << err;
        EXPECT_FALSE(fs::exists(sceneFile()));
        EXPECT_FALSE(fs::exists(importedTextures()));
    }
    EXPECT_EQ(runTool("import a.gltf b.ppp --fps 0", &err), 2);
    EXPECT_EQ(runTool("import a.gltf b.ppp --scale -1", &err), 2);
}

// What the format cannot hold is one warning each, however often it occurs.
TEST_F(ImportTest, WhatScenesCannotHoldIsOneWarningEach) {
    std::string messages;
    ASSERT_EQ(import("glTF2/glTF-Sample-Models/AnimatedMorphCube-glTF/AnimatedMorphCube.gltf", &messages), 0);
    EXPECT_EQ(messages,
              "meshcaster: warning: morph targets are not held by scene files: meshes are kept in their "
              "base shape\n");
    ASSERT_EQ(import("FBX/huesitos.fbx", &messages), 0);
    EXPECT_EQ(messages,
              "meshcaster: warning: skins are not held by scene files: skinned meshes are kept in their "
              "rest pose\n");
    ASSERT_EQ(import("Collada/cube_with_2UVs.DAE", &messages), 0);
    EXPECT_NE(messages.find("one set of texture coordinates"), std::string::npos);
}

std::string base64(const std::vector<float>& values) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto* bytes = reinterpret_cast<const unsigned char*>(values.data());
    const std::size_t n = values.size() * sizeof(float);
    std::string out;
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned v = bytes[i] << 16 | (i + 1 < n ? bytes[i + 1] << 8 : 0) | (i + 2 < n ? bytes[i + 2] : 0);
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += i + 1 < n ? digits[v >> 6 & 63] : '=';
        out += i + 2 < n ? digits[v & 63] : '=';
    }
    return out;
}

// A glTF file with one triangle node "Mover" whose translation runs linearly
// through three keys at the given times: (0,0,0), (1,0,0), (1,2,0).
std::string moverGltf(float t0, float t1, float t2) {
    const std::vector<float> data = {0, 0, 0, 1, 0, 0, 0, 1, 0, t0, t1, t2, 0, 0, 0, 1, 0, 0, 1, 2, 0};
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"name":"Mover","mesh":0}],
"meshes":[{"primitives":[{"attributes":{"POSITION":0}}]}],
"buffers":[{"byteLength":84,"uri":"data:application/octet-stream;base64,)" +
           base64(data) + R"("}],
"bufferViews":[{"buffer":0,"byteOffset":0,"byteLength":36},{"buffer":0,"byteOffset":36,"byteLength":12},
{"buffer":0,"byteOffset":48,"byteLength":36}],
"accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3","min":[0,0,0],"max":[1,1,0]},
{"bufferView":1,"componentType":5126,"count":3,"type":"SCALAR","min":[)" +
           std::to_string(t0) + R"(],"max":[)" + std::to_string(t2) + R"(]},
{"bufferView":2,"componentType":5126,"count":3,"type":"VEC3"}],
"animations":[{"channels":[{"sampler":0,"target":{"node":0,"path":"translation"}}],
"samplers":[{"input":1,"output":2,"interpolation":"LINEAR"}]}]})";
}

SceneObject* findNamed(SceneObject* o, const std::string& name) {
    for (; o; o = o->next) {
        if (o->name == name) return o;
        if (SceneObject* found = findNamed(o->firstChild(), name)) return found;
    }
    return nullptr;
}

// Linear keys become the format's spline keys and still run straight from
// key to key, and hold the last key after the end; keys closer together than
// a frame are sampled instead, and still give the file's path.
TEST_F(ImportTest, PositionKeysRunStraightBetweenKeysAsInTheFile) {
    struct Case {
        float t1;
        bool keyed;
    };
    for (const Case c : {Case{1.0f, true}, Case{0.004f, false}}) {
        SCOPED_TRACE(c.t1);
        const std::string model = dir.write("mover.gltf", moverGltf(0, c.t1, 3));
        ASSERT_EQ(import(model), 0);
        const Counts counts = countChunks(sceneFile());
        EXPECT_EQ(counts.keyed > 0, c.keyed);
        EXPECT_EQ(counts.sampled, c.keyed ? 0 : 1);
        const std::unique_ptr<Scene> scene = loadImported();
        SceneObject* mover = findNamed(scene->objects, "Mover");
        ASSERT_TRUE(mover);
        auto expected = [&](float s) -> Vec3 {
            if (s <= c.t1) return {s / c.t1, 0, 0};
            if (s >= 3) return {1, 2, 0};
            return {1, 2 * (s - c.t1) / (3 - c.t1), 0};
        };
        for (float s : {0.3f, 0.5f, 0.9f, 1.5f, 2.0f, 2.95f, 3.5f, 6.0f}) {
            if (!c.keyed && s < 0.1f) continue;
            scene->update(s * 100);
            const Vec3 want = expected(s);
            EXPECT_NEAR(mover->position().x, want.x, 1e-3) << s;
            EXPECT_NEAR(mover->position().y, want.y, 1e-3) << s;
        }
    }
}

// Rotation keys of a 3DS cube replay the file's spherical interpolation.
TEST_F(ImportTest, RotationKeysGiveTheFilesOrientation) {
    const std::string model = "3DS/RotatingCube.3DS";
    ASSERT_EQ(import(model), 0);
    EXPECT_GT(countChunks(sceneFile()).keyed, 0);
    Assimp::Importer importer;
    const aiScene* file = importer.ReadFile(kModels + model, 0);
    ASSERT_TRUE(file && file->mNumAnimations > 0);
    const aiAnimation& animation = *file->mAnimations[0];
    const double tps = animation.mTicksPerSecond > 0 ? animation.mTicksPerSecond : 25;
    const aiNodeAnim& channel = *animation.mChannels[0];
    const std::unique_ptr<Scene> scene = loadImported();
    SceneObject* object = findNamed(scene->objects, channel.mNodeName.C_Str());
    ASSERT_TRUE(object);
    for (double seconds : {0.13, 0.5, 1.07, 2.5, 5.0}) {
        const double ticks = std::min(seconds * tps, animation.mDuration);
        scene->update(float(seconds * 100));
        unsigned k = 0;
        while (k + 1 < channel.mNumRotationKeys && channel.mRotationKeys[k + 1].mTime <= ticks) ++k;
        aiQuaternion expected = channel.mRotationKeys[k].mValue;
        if (k + 1 < channel.mNumRotationKeys) {
            const double span = channel.mRotationKeys[k + 1].mTime - channel.mRotationKeys[k].mTime;
            aiQuaternion::Interpolate(expected, channel.mRotationKeys[k].mValue, channel.mRotationKeys[k + 1].mValue,
                                      float((ticks - channel.mRotationKeys[k].mTime) / span));
        }
        const aiMatrix3x3 m = expected.Normalize().GetMatrix();
        // The scene's matrix is column-major: element (column, row).
        for (unsigned row = 0; row < 3; ++row)
            for (unsigned column = 0; column < 3; ++column)
                EXPECT_NEAR(object->rotation().get(int(column), int(row)), m[row][column], 0.03)
                    << "at " << seconds << " s, row " << row << " column " << column;
    }
}

// A transform of the scene as the renderer applies it: translate, rotate
// (the reader's matrix, column-major), scale.
struct Frame {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;

    Vec3 apply(const Vec3& v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + t.x,
                m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + t.y,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z + t.z};
    }
    Frame then(const SceneObject& o) const {
        Frame local;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) local.m[r][c] = o.rotation().get(c, r) * (&o.scale().x)[c];
        local.t = o.position();
        Frame out;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                out.m[r][c] = m[r][0] * local.m[0][c] + m[r][1] * local.m[1][c] + m[r][2] * local.m[2][c];
        out.t = apply(local.t);
        return out;
    }
    float determinant() const {
        return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
               m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    }
};

// Mirroring nodes (negative scales in the file) are drawn with their front
// faces outward: no written transform mirrors, and every triangle of the
// file's three plain cubes, one of them mirrored, faces away from its cube's
// middle in the world.
TEST_F(ImportTest, MirroredNodesKeepTheirFacesOutward) {
    ASSERT_EQ(import("FBX/cubes_with_mirroring_and_pivot.fbx"), 0);
    const std::unique_ptr<Scene> scene = loadImported();
    int meshes = 0;
    std::function<void(const SceneObject*, const Frame&)> walk = [&](const SceneObject* o, const Frame& parent) {
        for (; o; o = o->next) {
            const Frame world = parent.then(*o);
            EXPECT_GT(world.determinant(), 0) << o->name;
            const auto* mesh = dynamic_cast<const MeshObject*>(o);
            if (mesh && mesh->faceCount() == 12) {
                ++meshes;
                Vec3 middle;
                for (const Vertex& v : mesh->vertices())
                    middle = middle + world.apply(v.position) * (1.0f / mesh->vertexCount());
                int inward = 0;
                for (const Face& f : mesh->faces()) {
                    const Vec3 a = world.apply(f.vertices[0]->position), b = world.apply(f.vertices[1]->position),
                               c = world.apply(f.vertices[2]->position);
                    if (Vec3::dot(Vec3::cross(b - a, c - a), (a + b + c) * (1.0f / 3) - middle) <= 0) ++inward;
                }
                EXPECT_EQ(inward, 0) << o->name;
            }
            walk(o->firstChild(), world);
        }
    };
    walk(scene->objects, Frame{});
    EXPECT_EQ(meshes, 3);
}

// OBJ texture paths are taken relative to the model, with back slashes and
// spaces; two pictures of one base name get two names; a missing one is a
// warning and its material goes without. Colours survive the conversion.
TEST_F(ImportTest, TexturesAreFoundSavedAndNamedByBaseName) {
    auto picture = [&](const std::string& relative, unsigned char r, unsigned char g, unsigned char b) {
        fs::create_directories(fs::path(dir.file(relative)).parent_path());
        kpximage* image = kpx_create(16, 16, 24, 0);
        for (int i = 0; i < 16 * 16; ++i)
            image->image[3 * i] = r, image->image[3 * i + 1] = g, image->image[3 * i + 2] = b;
        ASSERT_EQ(kpx_save_tga(dir.file(relative).c_str(), image, 0), 1);
        kpx_free(image);
    };
    // The library sits in a folder of its own and names its textures
    // relative to itself; one name comes from another machine in capitals.
    picture("model/library/maps/my wall.tga", 200, 30, 30);
    picture("model/other/my wall.tga", 30, 30, 200);
    dir.write("model/library/quads.mtl",
              "newmtl red\nKd 1 1 1\nmap_Kd maps\\my wall.tga\n"
              "newmtl blue\nKd 1 1 1\nmap_Kd C:\\work\\other\\MY WALL.TGA\n"
              "newmtl gone\nKd 1 1 1\nmap_Kd missing.tga\n");
    std::string obj = "mtllib library/quads.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    for (const char* m : {"red", "blue", "gone"})
        obj += std::string("g ") + m + "\nusemtl " + m + "\nf 1/1 2/2 3/3 4/4\n";
    const std::string model = dir.write("model/quads.obj", obj);
    std::string messages;
    ASSERT_EQ(import(model, &messages), 0) << messages;
    EXPECT_EQ(messages, "meshcaster: warning: texture \"missing.tga\" not found: its material is drawn without it\n");
    const std::vector<std::string> names = countChunks(sceneFile()).textures;
    ASSERT_EQ(names.size(), 2u);
    // Two names that differ in more than case: "my wall" and "my wall-2", in either spelling.
    std::string a = names[0], b = names[1];
    for (std::string* n : {&a, &b})
        for (char& c : *n) c = char(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> folded{a, b};
    std::sort(folded.begin(), folded.end());
    EXPECT_EQ(folded, (std::vector<std::string>{"my wall-2.jpg", "my wall.jpg"}));
    ASSERT_TRUE(loadImported());
    // Whichever got which name, one picture is red and the other blue.
    std::vector<std::array<int, 3>> colours;
    for (const std::string& name : names) {
        kpximage* image = kpx_load_jpg((importedTextures() + name).c_str());
        ASSERT_TRUE(image);
        colours.push_back({image->image[0], image->image[1], image->image[2]});
        kpx_free(image);
    }
    std::sort(colours.begin(), colours.end());
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(colours[0][k], (std::array<int, 3>{30, 30, 200})[k], 12);
        EXPECT_NEAR(colours[1][k], (std::array<int, 3>{200, 30, 30})[k], 12);
    }
}

// Textures saved next to the model never replace the model's own pictures.
TEST_F(ImportTest, TexturesSavedBesideTheModelLeaveItsPicturesAlone) {
    const std::string source = readFile(kModels + "OBJ/spider.obj");
    const std::string model = dir.write("spider/spider.obj", source);
    dir.write("spider/spider.mtl", readFile(kModels + "OBJ/spider.mtl"));
    for (const char* picture : {"SpiderTex.jpg", "drkwood2.jpg", "engineflare1.jpg", "wal67ar_small.jpg"})
        dir.write(std::string("spider/") + picture, readFile(kModels + "OBJ/" + picture));
    meshimport::ImportOptions options;
    options.input = model;
    options.output = dir.file("spider/spider.ppp");
    options.textures = dir.file("spider");
    std::FILE* err = std::tmpfile();
    ASSERT_EQ(meshimport::importScene(options, err), 0);
    std::fclose(err);
    EXPECT_EQ(readFile(dir.file("spider/SpiderTex.jpg")), readFile(kModels + "OBJ/SpiderTex.jpg"));
    EXPECT_EQ(readFile(dir.file("spider/drkwood2.jpg")), readFile(kModels + "OBJ/drkwood2.jpg"));
    EXPECT_TRUE(fs::exists(dir.file("spider/SpiderTex-2.jpg")));
}

// An import that fails after its textures were written takes them back.
TEST_F(ImportTest, AFailedImportTakesBackWhatItWrote) {
    meshimport::ImportOptions options;
    options.input = kModels + "Collada/duck.dae";
    options.output = dir.file("no such folder/duck.ppp");
    options.textures = importedTextures() + "deeper/";
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(meshimport::importScene(options, err), 1);
    std::fclose(err);
    EXPECT_FALSE(fs::exists(importedTextures()));
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

// The file's axes and units become the scene's: +y up, centimetres.
TEST(ImportConversionTest, FileAxesAndUnitsBecomeTheScenes) {
    auto converted = [](aiMetadata* meta, float userScale, const aiVector3D& p) {
        aiScene scene;
        scene.mMetaData = meta;
        return meshimport::sceneConversion(scene, userScale).matrix * p;
    };
    auto fbx = [](int up, int upSign, int front, int frontSign, int side, double unit) {
        aiMetadata* meta = aiMetadata::Alloc(7);
        meta->Set(0, "UpAxis", int32_t(up));
        meta->Set(1, "UpAxisSign", int32_t(upSign));
        meta->Set(2, "FrontAxis", int32_t(front));
        meta->Set(3, "FrontAxisSign", int32_t(frontSign));
        meta->Set(4, "CoordAxis", int32_t(side));
        meta->Set(5, "CoordAxisSign", int32_t(1));
        meta->Set(6, "UnitScaleFactor", unit);
        return meta;
    };
    auto near = [](const aiVector3D& a, const aiVector3D& b) { return (a - b).Length() < 1e-4f; };
    // A z-up file in inches: its up is our +y, its front (-y) our +z.
    EXPECT_TRUE(near(converted(fbx(2, 1, 1, -1, 0, 2.54), 1, {0, 0, 1}), {0, 2.54f, 0}));
    EXPECT_TRUE(near(converted(fbx(2, 1, 1, -1, 0, 2.54), 1, {0, -1, 0}), {0, 0, 2.54f}));
    EXPECT_TRUE(near(converted(fbx(2, 1, 1, -1, 0, 2.54), 1, {1, 0, 0}), {2.54f, 0, 0}));
    // A y-up file in metres, at half size.
    EXPECT_TRUE(near(converted(fbx(1, 1, 2, 1, 0, 100), 0.5f, {1, 2, 3}), {50, 100, 150}));
    aiMetadata* gltf = aiMetadata::Alloc(1);
    gltf->Set(0, "SourceAsset_Format", aiString("glTF2 Importer"));
    EXPECT_TRUE(near(converted(gltf, 1, {1, 2, 3}), {100, 200, 300}));
    EXPECT_TRUE(near(converted(nullptr, 1, {1, 2, 3}), {1, 2, 3}));  // no unit known: as given
}

// Models without cameras or lights are framed and lit: drawn by the demo's
// renderer through each framing camera, the model is in the middle, lit, and
// wholly inside the picture.
TEST_F(ImportTest, ModelsWithoutCamerasAreFramedAndLit) {
    for (const char* model : {"glTF2/BoxTextured-glTF-Binary/BoxTextured.glb", "OBJ/WusonOBJ.obj", "3DS/fels.3ds"}) {
        SCOPED_TRACE(model);
        ASSERT_EQ(import(model), 0);
        const Counts counts = countChunks(sceneFile());
        ASSERT_EQ(counts.cameras, 2);
        const std::unique_ptr<Scene> scene = loadImported();
        for (const std::int32_t id : counts.cameraIds) {
            scene->selectCamera(id);
            demoProjection();
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            scene->update(0);
            scene->draw();
            const std::vector<std::uint8_t> rgba = frame();
            const int w = 640, h = 480;
            auto bright = [&](int x, int y) {
                const std::uint8_t* p = &rgba[4 * (std::size_t(y) * w + x)];
                return p[0] + p[1] + p[2] > 120;
            };
            int lit = 0, border = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (bright(x, y)) ++(x == 0 || y == 0 || x == w - 1 || y == h - 1 ? border : lit);
            EXPECT_TRUE(bright(w / 2, h / 2)) << "camera " << id;
            EXPECT_GT(lit, w * h / 20) << "camera " << id;
            EXPECT_EQ(border, 0) << "camera " << id;
        }
    }
}

}  // namespace
}  // namespace vantor::test
