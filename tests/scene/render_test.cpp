// Scene::draw in the offscreen context, checked by reading pixels back: every
// shading mode, culling, two-sided materials, the cel outline, billboards,
// the hierarchy's transforms and the camera.
#include "kpx/kpx.h"
#include "scene/scene_error.h"
#include "tests/scene/scene_fixture.h"

#include <cmath>

namespace vantor::test {
namespace {

class RenderTest : public SceneTest {
protected:
    // Draws the scene at time 0 with the demo's projection and a white colour.
    void draw(Scene& scene) {
        demoProjection();
        scene.update(0);
        scene.draw();
        glFinish();
    }

    // Screen position (x, y from the top) of a world point under the
    // model-view matrix the last draw left (the camera view).
    static std::array<int, 2> project(const Vec3& p) {
        GLdouble model[16], projection[16], x, y, z;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(p.x, p.y, p.z, model, projection, viewport, &x, &y, &z);
        return {int(std::lround(x)), kHeight - 1 - int(std::lround(y))};
    }

    static int brightness(int x, int y) {
        const auto p = pixel(x, y);
        return p[0] + p[1] + p[2];
    }
};

Quaternion yTurn(float degrees) {
    const float half = degrees * float(M_PI) / 360.0f;
    return {0, std::sin(half), 0, std::cos(half)};
}

TEST_F(RenderTest, LitUntexturedCubeIsShadedTowardsItsLight) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {0.8f, 0.8f, 0.8f}));
    ppp::MeshRecord cube = cubeMesh(1);
    cube.rotation = yTurn(45);
    w.mesh(cube);
    w.camera({2, {0, 0, 6}, 1});
    w.light({3, {20, 0, 6}, {1, 1, 1}});  // to the right
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    draw(*scene);
    EXPECT_EQ(scene->findMaterial(1)->shading, ShadingMode::Lit);
    const int left = brightness(320 - 50, 240), right = brightness(320 + 50, 240);
    EXPECT_GT(right, left + 60) << "left " << left << " right " << right;
    EXPECT_GT(left, 0);
    EXPECT_EQ(brightness(10, 10), 0);  // background
    const auto p = pixel(320 + 50, 240);
    EXPECT_TRUE(near(p[0], p[1], 2) && near(p[1], p[2], 2));  // grey material, white light
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RenderTest, BackFacesAreCulledOnlyWhileTheSceneCulls) {
    // The camera inside a cube sees only its back faces.
    SceneFileWriter w;
    ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
    w.material(m);
    w.mesh(cubeMesh(1, 20));
    w.target({2, {0, 0, -1}});
    w.camera({3, {0, 0, 0}, 2});
    w.light({4, {0, 0, 0}, {1, 1, 1}});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    draw(*scene);
    EXPECT_EQ(brightness(320, 240), 0);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    scene->setCulling(false);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(*scene);
    EXPECT_GT(brightness(320, 240), 100);  // ambient light on the inside
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(RenderTest, TexturedQuadShowsItsTextureUpright) {
    writeTexture("corners.tga", 64, 64, [](int x, int y) {
        const unsigned char top = y < 32 ? 255 : 0, right = x >= 32 ? 255 : 0;
        return Rgb{top, static_cast<unsigned char>(255 - top), right};
    });
    SceneFileWriter w;
    ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
    m.textures[0] = "textures\\corners.tga";
    w.material(m);
    w.mesh(quadMesh(1));
    w.camera({2, {0, 0, 3}, 1});
    w.light({3, {0, 0, 3}, {1, 1, 1}});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    ASSERT_EQ(scene->findMaterial(1)->shading, ShadingMode::LitTextured);
    draw(*scene);
    const auto topLeft = pixel(320 - 100, 240 - 100), topRight = pixel(320 + 100, 240 - 100);
    const auto bottomLeft = pixel(320 - 100, 240 + 100), bottomRight = pixel(320 + 100, 240 + 100);
    EXPECT_GT(topLeft[0], 200);
    EXPECT_LT(topLeft[1], 40);
    EXPECT_LT(topLeft[2], 40);
    EXPECT_GT(topRight[2], 200);
    EXPECT_GT(bottomLeft[1], 200);
    EXPECT_LT(bottomLeft[0], 40);
    EXPECT_GT(bottomRight[1], 200);
    EXPECT_GT(bottomRight[2], 200);
}

// Two quads facing the camera, tilted left (centre x = -1.5) and right (+1.5).
ppp::MeshRecord tiltedQuads(std::int32_t id, std::int32_t material) {
    ppp::MeshRecord m;
    m.id = id;
    m.name = "tilted";
    for (int side : {-1, 1}) {
        const Vec3 c(1.5f * side, 0, 0), t(0.8f, 0, -0.6f * side), b(0, 0.7f, 0);
        const Vec3 t7 = t * 0.7f;
        const std::uint32_t base = static_cast<std::uint32_t>(m.vertices.size());
        m.vertices.push_back(c - t7 - b);
        m.vertices.push_back(c + t7 - b);
        m.vertices.push_back(c + t7 + b);
        m.vertices.push_back(c - t7 + b);
        FaceIndices f1, f2;
        f1.vertex[0] = base, f1.vertex[1] = base + 1, f1.vertex[2] = base + 2;
        f2.vertex[0] = base, f2.vertex[1] = base + 2, f2.vertex[2] = base + 3;
        f1.materialId = f2.materialId = material;
        m.faces.push_back(f1);
        m.faces.push_back(f2);
    }
    return m;
}

TEST_F(RenderTest, SphereMapModesTwoAndThreeMirrorEachOther) {
    writeTexture("halves.tga", 64, 64, [](int x, int) { return x < 32 ? Rgb{255, 0, 0} : Rgb{0, 0, 255}; });
    SceneFileWriter w;
    ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
    m.textures[1] = "halves.tga";
    w.material(m);
    w.mesh(tiltedQuads(1, 1));
    w.target({2, {0, 0, 0}});
    w.camera({3, {0, 0, 8}, 2});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    Material* material = scene->findMaterial(1);
    ASSERT_EQ(material->shading, ShadingMode::SphereMap);
    draw(*scene);
    const auto left = project({-1.5f, 0, 0}), right = project({1.5f, 0, 0});
    // Left quad: normal x = -0.6, u = 0.2, the red half; right quad the blue half.
    EXPECT_GT(pixel(left[0], left[1])[0], 200);
    EXPECT_LT(pixel(left[0], left[1])[2], 50);
    EXPECT_GT(pixel(right[0], right[1])[2], 200);
    EXPECT_LT(pixel(right[0], right[1])[0], 50);

    material->setShading(ShadingMode::MirroredSphereMap);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(*scene);
    EXPECT_GT(pixel(left[0], left[1])[2], 200);
    EXPECT_LT(pixel(left[0], left[1])[0], 50);
    EXPECT_GT(pixel(right[0], right[1])[0], 200);
    EXPECT_LT(pixel(right[0], right[1])[2], 50);
}

TEST_F(RenderTest, ModeFourAddsTheReflectionUnitToTheBaseTexture) {
    writeTexture("base.tga", 64, 64, [](int, int) { return Rgb{100, 0, 0}; });
    writeTexture("shine.tga", 64, 64, [](int, int) { return Rgb{0, 30, 120}; });
    SceneFileWriter w;
    ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
    m.textures[0] = "base.tga";
    m.textures[1] = "shine.tga";
    w.material(m);
    w.mesh(quadMesh(1));
    w.camera({2, {0, 0, 3}, 1});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    ASSERT_EQ(scene->findMaterial(1)->shading, ShadingMode::TexturedReflection);
    draw(*scene);
    const auto p = pixel(320, 240);
    EXPECT_TRUE(near(p[0], 100, 3)) << int(p[0]);
    EXPECT_TRUE(near(p[1], 30, 3)) << int(p[1]);
    EXPECT_TRUE(near(p[2], 120, 3)) << int(p[2]);
    // The second unit is switched off again after the mesh.
    glActiveTextureARB(GL_TEXTURE1_ARB);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST_F(RenderTest, CelShadingDrawsABlackOutlineAndLeavesCullingOff) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    ppp::MeshRecord cube = cubeMesh(1);
    cube.rotation = yTurn(30);
    w.mesh(cube);
    w.camera({2, {0, 0, 6}, 1});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    scene->findObject(1)->setShading(ShadingMode::Cel);
    EXPECT_EQ(scene->findMaterial(1)->shading, ShadingMode::Cel);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(*scene);
    glClearColor(0, 0, 0, 0);

    // From the left edge of the centre row: white background, then the
    // black outline, then the palette's greys (128 and up).
    int x = 0;
    while (x < kWidth && brightness(x, 240) == 3 * 255) ++x;
    ASSERT_LT(x, 320);
    EXPECT_LT(brightness(x + 1, 240), 60) << "outline at " << x;
    int inside = x;
    while (inside < kWidth && brightness(inside, 240) < 3 * 100) ++inside;
    EXPECT_LE(inside - x, 6);  // a line a few pixels wide
    const auto centre = pixel(320, 240);
    EXPECT_GE(centre[0], 120);
    EXPECT_TRUE(near(centre[0], centre[1], 2));
    // The outline pass ends with culling off, whatever the scene says.
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_1D));
}

TEST_F(RenderTest, BillboardSizeFallsWithDistance) {
    writeTexture("white.tga", 64, 64, [](int, int) { return Rgb{255, 255, 255}; });
    auto widthAt = [&](float distance) {
        SceneFileWriter w;
        ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
        m.textures[0] = "white.tga";
        w.material(m);
        ppp::MeshRecord board = quadMesh(1);
        board.name = "Bill01";
        w.mesh(board);
        w.camera({2, {0, 0, distance}, 1});
        w.end();
        std::unique_ptr<Scene> scene = load(w);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw(*scene);
        // The quad's lower-left corner is on the object's origin, the centre
        // of the screen; it grows right and up.
        int width = 0;
        for (int x = 0; x < kWidth; ++x)
            if (brightness(x, 237) > 600) ++width;
        EXPECT_EQ(brightness(300, 237), 0);
        EXPECT_EQ(brightness(330, 250), 0);
        return width;
    };
    const int near700 = widthAt(700), far1400 = widthAt(1400);
    // Eye-space size 1 / distance, projected once more by 1 / distance.
    EXPECT_TRUE(near(near700, 47, 3)) << near700;
    EXPECT_NEAR(double(near700) / far1400, 4.0, 0.6) << near700 << " / " << far1400;
}

TEST_F(RenderTest, ABillboardOnTheEyePlaneIsNotDrawn) {
    // The camera at the origin looks down -z at its target; the billboard
    // stands beside it at depth 0, where its size would be infinite.
    writeTexture("white.tga", 64, 64, [](int, int) { return Rgb{255, 255, 255}; });
    SceneFileWriter w;
    ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
    m.textures[0] = "white.tga";
    w.material(m);
    ppp::MeshRecord board = quadMesh(1);
    board.name = "Bill01";
    board.position = {1, 0, 0};
    w.mesh(board);
    w.target({3, {0, 0, -10}});
    w.camera({2, {0, 0, 0}, 3});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    // Nothing reaches GL: no polygon comes back in feedback mode.
    std::vector<GLfloat> feedback(4096);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    draw(*scene);
    EXPECT_EQ(glRenderMode(GL_RENDER), 0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING) == GL_FALSE);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // The size on and near the eye plane, in front and behind.
    EXPECT_FALSE(billboardSize(20000, 10000, 0.0f));
    EXPECT_FALSE(billboardSize(20000, 10000, -0.0f));
    EXPECT_FALSE(billboardSize(20000, 10000, 1e-30f));
    const auto inFront = billboardSize(20000, 10000, -100);
    ASSERT_TRUE(inFront);
    EXPECT_FLOAT_EQ(inFront->width, 200);
    EXPECT_FLOAT_EQ(inFront->height, 100);
}

TEST_F(RenderTest, TwoSidedMaterialsSwitchCullingOffUntilUnapplied) {
    Material material(images.get());
    material.twoSided = true;
    glEnable(GL_CULL_FACE);
    material.apply();
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    GLint twoSide = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(twoSide, 1);
    material.unapply();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &twoSide);
    EXPECT_EQ(twoSide, 0);

    // A quad turned away from the camera shows only with a two-sided material.
    for (bool twoSided : {false, true}) {
        SceneFileWriter w;
        ppp::MaterialRecord m = plainMaterial(1, {1, 1, 1});
        m.twoSided = twoSided;
        w.material(m);
        ppp::MeshRecord quad = quadMesh(1);
        quad.rotation = yTurn(180);
        w.mesh(quad);
        w.camera({2, {0, 0, 3}, 1});
        w.light({3, {0, 0, 3}, {1, 1, 1}});
        w.end();
        std::unique_ptr<Scene> scene = load(w);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw(*scene);
        if (twoSided)
            EXPECT_GT(brightness(320, 240), 100);
        else
            EXPECT_EQ(brightness(320, 240), 0);
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));  // the unapply of the last face
    }
}

TEST_F(RenderTest, ChildrenInheritTheParentsTransformAndVisibility) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    ppp::DummyRecord parent;
    parent.id = 1;
    parent.scale = {2, 2, 2};
    w.dummy(parent);
    ppp::MeshRecord child = cubeMesh(2, 0.25f);
    child.parentId = 1;
    child.position = {1, 0, 0};
    w.mesh(child);
    ppp::MeshRecord hidden = cubeMesh(3, 0.5f);
    hidden.position = {-2, 2, 0};
    w.mesh(hidden);
    ppp::MeshRecord shown = cubeMesh(4, 0.25f);
    shown.parentId = 3;
    shown.position = {0, -1, 0};
    w.mesh(shown);
    w.camera({5, {0, 0, 10}, 1});
    w.light({6, {0, 0, 10}, {1, 1, 1}});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    scene->findObject(3)->setVisible(false);
    draw(*scene);

    // The child sits at 2 (offset 1 scaled by 2) with half-side 0.5.
    const auto at2 = project({2, 0, 0}), at1 = project({1, 0, 0}), edge = project({2.4f, 0, 0});
    EXPECT_GT(brightness(at2[0], at2[1]), 100);
    EXPECT_EQ(brightness(at1[0], at1[1]), 0);
    EXPECT_GT(brightness(edge[0], edge[1]), 100);
    // The invisible parent draws nothing; its child appears in its frame.
    const auto parentAt = project({-2, 2, 0}), childAt = project({-2, 1, 0});
    EXPECT_EQ(brightness(parentAt[0], parentAt[1]), 0);
    EXPECT_GT(brightness(childAt[0], childAt[1]), 100);
}

TEST_F(RenderTest, TheCameraLooksAtItsTargetOrTheFirstRootObject) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    ppp::MeshRecord cube = cubeMesh(7, 0.5f);
    cube.position = {3, 0, 0};
    w.mesh(cube);
    w.camera({1, {3, 0, 10}, 0});    // id 0: the first root object
    w.camera({2, {3, 0, 10}, 555});  // names nothing: the origin
    w.light({3, {3, 0, 10}, {1, 1, 1}});
    w.end();
    std::unique_ptr<Scene> scene = load(w);
    draw(*scene);
    EXPECT_GT(brightness(320, 240), 100);
    scene->nextCamera();
    EXPECT_EQ(scene->currentCamera->id, 2);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    draw(*scene);
    EXPECT_EQ(brightness(320, 240), 0);
    scene->nextCamera();
    EXPECT_EQ(scene->currentCamera->id, 1);
    scene->selectCamera(2);
    EXPECT_EQ(scene->currentCamera->id, 2);
    scene->selectCamera(99);
    EXPECT_EQ(scene->currentCamera->id, 1);
}

TEST_F(RenderTest, EachSceneIsLitInItsOwnColoursWhenSeveralAreLoaded) {
    auto sceneLitIn = [&](const Vec3& colour) {
        SceneFileWriter w;
        w.material(plainMaterial(1, {1, 1, 1}));
        w.mesh(cubeMesh(1));
        w.camera({2, {0, 0, 6}, 1});
        w.light({3, {0, 0, 6}, colour});
        w.end();
        return load(w);
    };
    std::unique_ptr<Scene> red = sceneLitIn({1, 0, 0});
    std::unique_ptr<Scene> blue = sceneLitIn({0, 0, 1});  // loaded last: its colours were sent last
    draw(*red);
    const auto p = pixel(320, 240);
    EXPECT_GT(p[0], 150);
    EXPECT_EQ(p[2], 0);
}

TEST_F(RenderTest, MoreThanEightLightsAreKeptButNeverReachOpenGL) {
    SceneFileWriter w;
    w.material(plainMaterial(1, {1, 1, 1}));
    w.mesh(cubeMesh(1));
    w.camera({2, {0, 0, 6}, 1});
    for (int i = 0; i < 10; ++i) w.light({100 + i, {0, 0, 6}, {0.1f, 0.1f, 0.1f}});
    w.end();
    while (glGetError() != GL_NO_ERROR) {}
    std::unique_ptr<Scene> scene = load(w);
    EXPECT_EQ(scene->lightCount, 10);
    draw(*scene);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_TRUE(scene->findObject(109));
}

TEST_F(RenderTest, DrawingFailuresEndThroughSceneError) {
    ScopedSceneErrorCapture capture;
    auto message = [&](Scene& scene) -> std::string {
        try {
            draw(scene);
        } catch (const SceneErrorRaised& e) {
            return e.what();
        }
        return "";
    };
    Scene noCamera;
    noCamera.addObject(new DummyObject);
    EXPECT_EQ(message(noCamera), "no current camera");

    Scene unbound;
    auto* mesh = new MeshObject;
    ASSERT_TRUE(mesh->setGeometry({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {}, {FaceIndices()}));
    unbound.addObject(mesh);
    unbound.addCamera(new CameraObject);
    EXPECT_EQ(message(unbound), "No material for poly");
}

}  // namespace
}  // namespace vantor::test
