// SceneFileReader over files written by SceneFileWriter: every chunk kind,
// the format's edge cases and every failure message.
#include "kpx/kpx.h"
#include "scene/scene_error.h"
#include "scene/scene_file_reader.h"
#include "tests/scene/scene_fixture.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <stdexcept>

namespace vantor::test {
namespace {

using ReaderTest = SceneTest;

const float kHalfTurn = std::sqrt(0.5f);

Rgb solid(unsigned char r, unsigned char g, unsigned char b) { return {r, g, b}; }

ppp::MaterialRecord texturedMaterial(std::int32_t id, std::string first, std::string second = "",
                                     std::string third = "") {
    ppp::MaterialRecord m = plainMaterial(id, {1, 1, 1});
    m.textures[0] = std::move(first);
    m.textures[1] = std::move(second);
    m.textures[2] = std::move(third);
    return m;
}

// Little-endian u32 at a byte offset of a buffer.
void patch32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST_F(ReaderTest, RoundTripsEveryChunkKind) {
    writeTexture("base.tga", 64, 64, [](int, int) { return solid(200, 0, 0); });
    writeTexture("shine.tga", 64, 64, [](int, int) { return solid(0, 0, 200); });

    SceneFileWriter w;
    ppp::MeshRecord root = quadMesh(10);
    root.name = "Root quad";
    root.position = {1, 2, 3};
    root.rotation = {0, 0, kHalfTurn, kHalfTurn};
    root.scale = {2, 2, 2};
    root.texCoords[2] = {0.25f, 0.75f};
    root.faces[1].materialId = -1;
    w.mesh(root);
    ppp::DummyRecord group;
    group.id = 20;
    group.parentId = 10;
    group.position = {0, 5, 0};
    group.scale = {1, 3, 1};
    w.dummy(group);
    ppp::MeshRecord child = cubeMesh(30, 0.5f, 2);
    child.parentId = 20;
    w.mesh(child);
    ppp::MeshRecord board = quadMesh(40, 1, 3);
    board.name = "Billboard 1";
    w.mesh(board);
    ppp::MeshRecord notBoard = quadMesh(41, 1, 1);
    notBoard.name = "billboard";
    w.mesh(notBoard);
    w.target({50, {0, 0, -4}});
    w.camera({60, {0, 0, 10}, 50});
    w.camera({61, {5, 5, 5}, 0});
    w.light({70, {1, 2, 3}, {1, 0.5f, 0.25f}});
    w.light({71, {-1, 0, 0}, {0.2f, 0.2f, 0.2f}});
    w.material(plainMaterial(0, {0.1f, 0.2f, 0.3f}));
    w.material(texturedMaterial(1, "base.tga"));
    w.material(texturedMaterial(2, "", "shine.tga"));
    w.material(texturedMaterial(3, "base.tga", "shine.tga"));
    w.material(texturedMaterial(4, "", "", "base.tga"));
    ppp::MaterialRecord shiny = plainMaterial(5, {1, 1, 1});
    shiny.specular = {0.5f, 0.5f, 0.5f};
    shiny.shininess = 0.5f;
    shiny.shininessStrength = 0.7f;
    shiny.twoSided = 1;
    w.material(shiny);
    ppp::PositionKeyRecord k0, k1;
    k0.frame = 0, k0.position = {0, 0, 0};
    k1.frame = 32768, k1.position = {1, 1, 1}, k1.tension = 0.5f, k1.easeTo = 0.25f;
    w.positionKeys(20, {k0, k1});
    w.rotationKeys(30, {{5, {0, 0, 0, 1}}, {70000, {0, 0, kHalfTurn, kHalfTurn}}});
    w.samples(70, 4, {{{1, 1, 1}, {0, 0, 0, 1}}, {{2, 2, 2}, {0, 0, 0, 1}}, {{3, 3, 3}, {0, 0, 0, 1}}});
    w.unknown(99, {1, 2, 3, 4, 5});
    w.end();

    const std::unique_ptr<Scene> scene = load(w);
    ASSERT_TRUE(scene);

    // The hierarchy: quad, billboard, lower-case "billboard", target in the root list.
    SceneObject* quad = scene->objects;
    ASSERT_TRUE(quad);
    EXPECT_EQ(quad->id, 10);
    EXPECT_EQ(quad->name, "Root quad");
    EXPECT_EQ(quad->position().y, 2);
    EXPECT_NEAR(quad->rotation().m[1], -1, 1e-6);
    EXPECT_EQ(quad->scale().x, 2);
    auto* mesh = dynamic_cast<MeshObject*>(quad);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->vertexCount(), 4u);
    EXPECT_EQ(mesh->texCoordCount(), 4u);
    EXPECT_EQ(mesh->texCoords()[2].uv.u, 0.25f);
    EXPECT_EQ(mesh->texCoords()[2].uv.v, -0.75f);  // v is turned round
    EXPECT_EQ(mesh->faces()[1].materialId, 0);     // -1 binds to material 0
    EXPECT_EQ(mesh->faces()[1].material, scene->findMaterial(0));
    EXPECT_EQ(mesh->faces()[0].material, scene->findMaterial(1));
    EXPECT_NEAR(mesh->faces()[0].normal.z, 1, 1e-6);
    EXPECT_NEAR(mesh->vertices()[0].normal.z, 1, 1e-6);

    SceneObject* dummy = quad->firstChild();
    ASSERT_TRUE(dummy && dynamic_cast<DummyObject*>(dummy));
    EXPECT_EQ(dummy->id, 20);
    EXPECT_EQ(dummy->scale().y, 3);
    ASSERT_TRUE(dummy->firstChild());
    EXPECT_EQ(dummy->firstChild()->id, 30);
    EXPECT_EQ(dynamic_cast<MeshObject*>(dummy->firstChild())->faceCount(), 12u);

    SceneObject* billboard = quad->next;
    ASSERT_TRUE(billboard);
    EXPECT_TRUE(dynamic_cast<BillboardObject*>(billboard));
    SceneObject* lowerCase = billboard->next;
    ASSERT_TRUE(lowerCase);
    EXPECT_FALSE(dynamic_cast<BillboardObject*>(lowerCase));
    EXPECT_TRUE(dynamic_cast<MeshObject*>(lowerCase));
    SceneObject* target = lowerCase->next;
    ASSERT_TRUE(target && dynamic_cast<TargetObject*>(target));
    EXPECT_EQ(target->position().z, -4);
    EXPECT_EQ(target->next, nullptr);

    // Cameras: the first is current.
    ASSERT_TRUE(scene->cameras);
    EXPECT_EQ(scene->currentCamera, scene->cameras);
    EXPECT_EQ(scene->cameras->id, 60);
    EXPECT_EQ(scene->cameras->targetId, 50);
    EXPECT_EQ(scene->cameras->position().z, 10);
    ASSERT_TRUE(scene->cameras->next);
    EXPECT_EQ(scene->cameras->next->id, 61);

    // Lights: numbered in order, colours by the rule, switched on.
    ASSERT_TRUE(scene->lights);
    EXPECT_EQ(scene->lightCount, 2);
    const LightObject* light = scene->lights;
    EXPECT_EQ(light->id, 70);
    EXPECT_EQ(light->lightNumber, 0);
    EXPECT_TRUE(light->enabled);
    EXPECT_EQ(light->diffuse.y, 0.5f);
    EXPECT_EQ(light->specular.z, 0.25f);
    EXPECT_NEAR(light->ambient.x, 0.3f, 1e-6);
    EXPECT_EQ(static_cast<LightObject*>(light->next)->lightNumber, 1);
    GLfloat diffuse[4];
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[1], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));

    // Materials: shading mode and textures by which names are given.
    const Material* m0 = scene->findMaterial(0);
    EXPECT_EQ(m0->shading, ShadingMode::Lit);
    EXPECT_EQ(m0->diffuse.y, 0.2f);
    EXPECT_FALSE(m0->baseTexture());
    EXPECT_EQ(scene->findMaterial(1)->shading, ShadingMode::LitTextured);
    EXPECT_TRUE(scene->findMaterial(1)->baseTexture());
    EXPECT_EQ(scene->findMaterial(2)->shading, ShadingMode::SphereMap);
    EXPECT_TRUE(scene->findMaterial(2)->reflectionTexture());
    EXPECT_EQ(scene->findMaterial(3)->shading, ShadingMode::TexturedReflection);
    const Material* m4 = scene->findMaterial(4);
    EXPECT_EQ(m4->shading, ShadingMode::LitTextured);
    EXPECT_TRUE(m4->additive);
    EXPECT_TRUE(m4->baseTexture());
    const Material* m5 = scene->findMaterial(5);
    EXPECT_FLOAT_EQ(m5->shininess, 64.0f);
    EXPECT_FLOAT_EQ(m5->shininessStrength, 0.7f);
    EXPECT_TRUE(m5->twoSided);
    EXPECT_NE(m5->celTexture()->glName(), 0u);  // the palette was found

    // Tracks: frames keep their low 16 bits, signed.
    const AnimationTracks& position = dummy->tracks();
    ASSERT_EQ(position.positionKeyCount(), 2);
    EXPECT_EQ(position.positionKeys()[1].frame, -32768);
    EXPECT_EQ(position.positionKeys()[1].tension, 0.5f);
    EXPECT_EQ(position.positionKeys()[1].easeTo, 0.25f);
    const AnimationTracks& rotation = dummy->firstChild()->tracks();
    ASSERT_EQ(rotation.rotationKeyCount(), 2);
    EXPECT_EQ(rotation.rotationKeys()[1].frame, std::int16_t(70000 & 0xFFFF));
    const AnimationTracks& sampled = scene->lights->tracks();
    EXPECT_EQ(sampled.controllerKind(), AnimationTracks::Sampled);
    EXPECT_EQ(sampled.sampleCount(), 3u);
    EXPECT_EQ(sampled.sampleInterval(), 4);
    scene->update(6);
    EXPECT_FLOAT_EQ(scene->lights->position().x, 2.5f);
}

TEST_F(ReaderTest, EndChunksAndUnknownChunks) {
    // Only the lead word and an end chunk: a scene without objects, which
    // cannot be drawn.
    SceneFileWriter empty;
    empty.end();
    std::unique_ptr<Scene> scene = load(empty);
    ASSERT_TRUE(scene);
    EXPECT_EQ(scene->objects, nullptr);
    {
        ScopedSceneErrorCapture capture;
        EXPECT_THROW(
            try { scene->draw(); } catch (const SceneErrorRaised& e) {
                EXPECT_STREQ(e.what(), "no objects in scene");
                throw;
            },
            SceneErrorRaised);
    }

    // An end chunk with a payload is skipped and nothing after it is read;
    // an unknown chunk is skipped and reading goes on.
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.unknown(1234, std::vector<unsigned char>(37, 0xEE));
    w.mesh(cubeMesh(1));
    w.end(16);
    w.mesh(cubeMesh(2));  // after the end: never read
    std::vector<unsigned char> bytes = w.bytes();
    bytes.push_back(0xFF);  // trailing garbage as well
    scene = loadBytes(bytes);
    ASSERT_TRUE(scene->objects);
    EXPECT_EQ(scene->objects->id, 1);
    EXPECT_EQ(scene->objects->next, nullptr);

    // Data that ends at a chunk boundary without an end chunk ends the scene.
    SceneFileWriter open;
    open.material(plainMaterial(1, {1, 1, 1}));
    open.mesh(cubeMesh(3));
    scene = load(open);
    ASSERT_TRUE(scene->objects);
    EXPECT_EQ(scene->objects->id, 3);
}

TEST_F(ReaderTest, ObjectsFindParentsAmongObjectsLightsAndCameras) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.light({7, {0, 0, 0}, {1, 1, 1}});
    w.camera({8, {0, 0, 10}, 0});
    ppp::MeshRecord underLight = cubeMesh(100);
    underLight.parentId = 7;
    w.mesh(underLight);
    ppp::DummyRecord underCamera;
    underCamera.id = 101;
    underCamera.parentId = 8;
    w.dummy(underCamera);
    w.mesh(cubeMesh(7));  // shares the light's id
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    EXPECT_EQ(scene->lights->firstChild()->id, 100);
    EXPECT_EQ(scene->cameras->firstChild()->id, 101);
    EXPECT_EQ(scene->objects->id, 7);
    // The object wins over the light with the same id.
    EXPECT_EQ(scene->findObject(7), scene->objects);
    EXPECT_EQ(scene->findObject(100), scene->lights->firstChild());
    EXPECT_EQ(scene->findObject(101), scene->cameras->firstChild());
}

TEST_F(ReaderTest, NormalsAverageTheFacesAndSkipDegenerateOnes) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    ppp::MeshRecord m;
    m.id = 1;
    // Two faces meeting at a right angle along the edge 0-1, and a face with
    // two corners in one place (as at the pole of an exported sphere).
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}};
    FaceIndices floor, wall, degenerate;
    floor.vertex[0] = 0, floor.vertex[1] = 1, floor.vertex[2] = 2;  // normal +z
    wall.vertex[0] = 0, wall.vertex[1] = 3, wall.vertex[2] = 1;     // normal +y
    degenerate.vertex[0] = 1, degenerate.vertex[1] = 4, degenerate.vertex[2] = 3;
    floor.materialId = wall.materialId = degenerate.materialId = 1;
    m.faces = {floor, wall, degenerate};
    w.mesh(m);
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    auto* mesh = dynamic_cast<MeshObject*>(scene->objects);
    ASSERT_TRUE(mesh);
    const Vec3& shared = mesh->vertices()[0].normal;
    EXPECT_NEAR(shared.x, 0, 1e-6);
    EXPECT_NEAR(shared.y, std::sqrt(0.5f), 1e-6);
    EXPECT_NEAR(shared.z, std::sqrt(0.5f), 1e-6);
    EXPECT_EQ(mesh->faces()[2].normal.length(), 0.0f);
    for (const Vertex& v : mesh->vertices()) EXPECT_TRUE(std::isfinite(v.normal.x) && std::isfinite(v.normal.y));
    EXPECT_EQ(mesh->vertices()[4].normal.length(), 0.0f);  // only in the degenerate face
}

TEST_F(ReaderTest, TexturesAreLookedUpByBaseNameInTheTextureDirectory) {
    writeTexture("stone.tga", 20, 20, [](int, int) { return solid(1, 2, 3); });
    SceneFileWriter w;
    w.material(texturedMaterial(1, "C:\\maps\\old\\stone.tga"));
    w.material(texturedMaterial(2, "stone.tga"));
    w.mesh(quadMesh(1));
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    const Texture* a = scene->findMaterial(1)->baseTexture();
    const Texture* b = scene->findMaterial(2)->baseTexture();
    ASSERT_TRUE(a && b);
    // One cached image, brought to 64 x 64 and 32 bits, two GL textures.
    EXPECT_EQ(a->image(), b->image());
    EXPECT_EQ(a->image(), images->getImage("stone.tga"));
    EXPECT_EQ(a->image()->width, 64);
    EXPECT_EQ(a->image()->bpp, 32);
    EXPECT_NE(a->glName(), b->glName());

    // With the paths kept, the stored name is used without a directory.
    ASSERT_TRUE(w.save(sceneFile()));
    ScopedSceneErrorCapture capture;
    SceneFileReader keeping;
    keeping.setKeepTexturePaths(true);
    try {
        delete keeping.load(sceneFile().c_str(), textureDirectory().c_str(), images.get());
        ADD_FAILURE() << "no error";
    } catch (const SceneErrorRaised& e) {
        EXPECT_EQ(e.what(),
                  "Error in parsing " + sceneFile() + ": could not load texture C:\\maps\\old\\stone.tga\n\n");
    }
    // A reader's option stays with it: another reader takes base names again.
    EXPECT_EQ(loadError(w.bytes()), "");
}

TEST_F(ReaderTest, WithoutAnImageLibraryTheReaderMakesItsOwn) {
    writeTexture("own.tga", 64, 64, [](int, int) { return solid(9, 9, 9); });
    SceneFileWriter w;
    w.material(texturedMaterial(1, "own.tga"));
    w.mesh(quadMesh(1));
    w.end();
    ASSERT_TRUE(w.save(sceneFile()));
    SceneFileReader reader;
    std::unique_ptr<Scene> scene(reader.load(sceneFile().c_str(), textureDirectory().c_str(), nullptr));
    ASSERT_TRUE(scene->ownedImages);
    const Texture* texture = scene->findMaterial(1)->baseTexture();
    ASSERT_TRUE(texture);
    // The texture comes from the scene's own cache, which lives as long as the scene.
    EXPECT_EQ(texture->image(), scene->ownedImages->getImage("own.tga"));
}

// ---- failures -----------------------------------------------------------

class ReaderFailureTest : public ReaderTest {
protected:
    std::string frame(const std::string& text) const { return "Error in parsing " + sceneFile() + ": " + text + "\n"; }
};

TEST_F(ReaderFailureTest, TheFormatsMessages) {
    {
        ScopedSceneErrorCapture capture;
        SceneFileReader reader;
        try {
            reader.load(dir.file("missing.ppp").c_str(), "", images.get());
            ADD_FAILURE() << "no error";
        } catch (const SceneErrorRaised& e) {
            EXPECT_EQ(e.what(), "Error in parsing " + dir.file("missing.ppp") + ": could not open file\n");
        }
    }
    EXPECT_EQ(loadError({1, 0, 0, 0}), frame("not a meshcaster file"));
    EXPECT_EQ(loadError({0, 0}), frame("not a meshcaster file"));

    SceneFileWriter parent;
    ppp::MeshRecord orphan = cubeMesh(5);
    orphan.parentId = 9;
    parent.mesh(orphan);
    EXPECT_EQ(loadError(parent.bytes()), frame("object 5 could not find parent obj 9"));

    SceneFileWriter dummyParent;
    ppp::DummyRecord lost;
    lost.id = 6;
    lost.parentId = -3;
    dummyParent.dummy(lost);
    EXPECT_EQ(loadError(dummyParent.bytes()), frame("dummy object 6 could not find parent obj -3"));

    SceneFileWriter owner;
    owner.mesh(cubeMesh(1));
    owner.rotationKeys(2, {{0, {0, 0, 0, 1}}});
    EXPECT_EQ(loadError(owner.bytes()), frame("could not find owner for controller object"));

    // A sampled controller of kind 2: the writer cannot make one, so patch the kind.
    SceneFileWriter sampled;
    sampled.mesh(cubeMesh(1));
    const std::size_t controller = sampled.bytes().size();
    sampled.samples(1, 10, {{{0, 0, 0}, {0, 0, 0, 1}}});
    std::vector<unsigned char> bytes = sampled.bytes();
    patch32(bytes, controller + 8 + 8, 2);
    EXPECT_EQ(loadError(bytes), frame("other sample controller type than 5 (pr) not supported yet\n"));

    SceneFileWriter texture;
    texture.material(texturedMaterial(1, "", "D:\\nowhere\\missing.tga"));
    EXPECT_EQ(loadError(texture.bytes()), frame("could not load texture missing.tga\n"));

    // A face without its material: raised without the parsing frame.
    SceneFileWriter material;
    material.material(plainMaterial(1, {1, 1, 1}));
    material.mesh(cubeMesh(1, 1, 4));
    material.end();
    EXPECT_EQ(loadError(material.bytes()), "face material not found: 4\n");
}

TEST_F(ReaderFailureTest, KeyFramedControllersOfOtherKindsCarryOnlyTheirHeader) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.mesh(cubeMesh(1));
    const std::size_t controller = w.bytes().size();
    w.rotationKeys(1, {});  // 28-byte header, no keys
    w.mesh(cubeMesh(2));
    w.end();
    std::vector<unsigned char> bytes = w.bytes();
    patch32(bytes, controller + 8 + 8, 4);  // kind 4: not a known key-framed kind
    std::unique_ptr<Scene> scene = loadBytes(bytes);
    ASSERT_TRUE(scene->objects->next);
    EXPECT_EQ(scene->objects->next->id, 2);
    EXPECT_EQ(scene->objects->tracks().controllerKind(), AnimationTracks::None);
    patch32(bytes, controller + 8 + 12, 7);  // class 7
    scene = loadBytes(bytes);
    EXPECT_EQ(scene->objects->next->id, 2);
}

TEST_F(ReaderFailureTest, DamagedFieldsAreReportedNotRead) {
    SceneFileWriter w;
    w.material(texturedMaterial(1, "", ""));
    const std::size_t meshAt = w.bytes().size();
    w.mesh(quadMesh(1));
    w.end();
    const std::vector<unsigned char> good = w.bytes();
    const std::size_t header = meshAt + 8;

    // Cut inside the mesh's faces, inside its header, inside a chunk header.
    for (std::size_t cut : {good.size() - 20, header + 50, meshAt + 5}) {
        std::vector<unsigned char> bytes(good.begin(), good.begin() + cut);
        const std::string error = loadError(bytes);
        EXPECT_NE(error.find("runs past the end of the data"), std::string::npos) << cut << ": " << error;
    }
    // Counts far larger than the data.
    std::vector<unsigned char> bytes = good;
    patch32(bytes, header + 60, 0x40000000);
    EXPECT_EQ(loadError(bytes), frame("mesh chunk runs past the end of the data"));
    // A name without its NUL.
    bytes = good;
    std::memset(&bytes[header + 8], 'A', 52);
    EXPECT_EQ(loadError(bytes), frame("name of object 1 is not terminated"));
    // A texture name without its NUL.
    bytes = good;
    std::memset(&bytes[4 + 8 + 149], 'B', 100);
    EXPECT_EQ(loadError(bytes), frame("texture name of material 1 is not terminated"));
    // Face indices beyond the mesh's vertices or coordinates.
    const std::size_t faces = header + 124 + 4 * 12 + 4 * 8;
    bytes = good;
    patch32(bytes, faces + 28 + 4, 4);
    EXPECT_EQ(loadError(bytes), frame("face 1 of object 1 uses vertex 4, the object has 4 vertices"));
    bytes = good;
    patch32(bytes, faces + 20, 0xFFFFFFFF);
    EXPECT_EQ(loadError(bytes), frame("face 0 of object 1 uses texture coordinate 4294967295, the object has 4"));
    // An unknown chunk longer than the data.
    SceneFileWriter unknown;
    unknown.unknown(77, {1, 2, 3});
    bytes = unknown.bytes();
    patch32(bytes, 8, 1000);
    EXPECT_EQ(loadError(bytes), frame("chunk of type 77 runs past the end of the data"));
}

TEST_F(ReaderFailureTest, MeshesWithoutCoordinatesMayGiveAnyCoordinateIndex) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    ppp::MeshRecord cube = cubeMesh(1);
    for (FaceIndices& f : cube.faces) f.texCoord[0] = f.texCoord[1] = f.texCoord[2] = 123456;
    w.mesh(cube);
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    auto* mesh = dynamic_cast<MeshObject*>(scene->objects);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->faces()[0].texCoords[0], nullptr);
}

TEST_F(ReaderFailureTest, NestingIsLimited) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    for (int i = 1; i <= SceneFileReader::kMaximumDepth + 2; ++i) {
        ppp::DummyRecord d;
        d.id = i;
        d.parentId = i - 1;
        w.dummy(d);
    }
    EXPECT_EQ(loadError(w.bytes()), frame("object 1002 is nested more than 1000 levels deep"));
}

}  // namespace
}  // namespace vantor::test

namespace vantor::test {
namespace {

std::uint32_t read32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return std::uint32_t(bytes[at]) | std::uint32_t(bytes[at + 1]) << 8 | std::uint32_t(bytes[at + 2]) << 16 |
           std::uint32_t(bytes[at + 3]) << 24;
}

TEST(SceneFileWriterTest, ChunkSizesAreTheFieldsTheyHold) {
    SceneFileWriter w;
    EXPECT_EQ(w.bytes(), (std::vector<unsigned char>{0, 0, 0, 0}));
    w.mesh(quadMesh(1));  // 4 vertices, 4 coordinates, 2 faces
    std::size_t at = 4;
    EXPECT_EQ(read32(w.bytes(), at), 2u);
    EXPECT_EQ(read32(w.bytes(), at + 4), 124u + 4 * 12 + 4 * 8 + 2 * 28);
    struct Expected {
        std::function<void()> write;
        std::uint32_t type, size;
    };
    const Expected chunks[] = {
        {[&] { w.dummy({}); }, 3, 48},
        {[&] { w.material({}); }, 4, 352},
        {[&] { w.camera({}); }, 5, 20},
        {[&] { w.target({}); }, 6, 16},
        {[&] { w.light({}); }, 7, 28},
        {[&] {
             w.positionKeys(1, {{}, {}});
         },
         8, 28 + 2 * 36},
        {[&] { w.rotationKeys(1, {{}}); }, 8, 28 + 20},
        {[&] {
             w.samples(1, 5, {{}, {}, {}});
         },
         8, 28 + 3 * 28},
        {[&] {
             w.unknown(9, {1, 2});
         },
         9, 2},
        {[&] { w.end(3); }, 1, 3},
    };
    for (const Expected& chunk : chunks) {
        at = w.bytes().size();
        chunk.write();
        EXPECT_EQ(read32(w.bytes(), at), chunk.type);
        EXPECT_EQ(read32(w.bytes(), at + 4), chunk.size) << "type " << chunk.type;
        EXPECT_EQ(w.bytes().size(), at + 8 + chunk.size);
    }
}

TEST(SceneFileWriterTest, RefusesWhatTheReaderCouldNotRead) {
    SceneFileWriter w;
    ppp::MeshRecord named = quadMesh(1);
    named.name = std::string(52, 'n');
    EXPECT_THROW(w.mesh(named), std::invalid_argument);
    named.name = std::string(51, 'n');
    EXPECT_NO_THROW(w.mesh(named));
    ppp::MeshRecord badFace = quadMesh(2);
    badFace.faces[1].vertex[2] = 4;
    EXPECT_THROW(w.mesh(badFace), std::invalid_argument);
    badFace = quadMesh(2);
    badFace.faces[0].texCoord[0] = 9;
    EXPECT_THROW(w.mesh(badFace), std::invalid_argument);
    ppp::MaterialRecord m;
    m.textures[1] = std::string(100, 't');
    EXPECT_THROW(w.material(m), std::invalid_argument);
    EXPECT_THROW(w.unknown(4, {}), std::invalid_argument);
    EXPECT_THROW(w.unknown(1, {}), std::invalid_argument);
}

}  // namespace
}  // namespace vantor::test
