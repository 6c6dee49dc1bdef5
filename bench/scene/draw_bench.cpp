// Frame cost of Scene::draw for one mesh of 20000 triangles (the size the
// platform notes measure at 40-47 frames a second) in shading modes 0, 1 and
// 5, next to the same triangles sent in bare immediate mode with fixed normals
// and no material handling. The ratio is the scene library's own share: eye
// normals per vertex and draw, the per-face recipes, the cel outline pass.
#include "bench/scene/offscreen_frame.h"
#include "bench/scene/time_reporter.h"
#include "imglib/image_library.h"
#include "kpx/kpx.h"
#include "platform/gl_api.h"
#include "scene/scene.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int kRings = 100, kSegments = 100;  // 2 x 100 x 100 = 20000 triangles

// A torus of kRings x kSegments quads with texture coordinates.
MeshObject* torus() {
    std::vector<Vec3> positions;
    std::vector<Vec2> coords;
    std::vector<FaceIndices> faces;
    for (int i = 0; i < kRings; ++i)
        for (int j = 0; j < kSegments; ++j) {
            const float a = 2 * float(M_PI) * i / kRings, b = 2 * float(M_PI) * j / kSegments;
            positions.push_back(
                {(2 + 0.7f * std::cos(b)) * std::cos(a), 0.7f * std::sin(b), (2 + 0.7f * std::cos(b)) * std::sin(a)});
            coords.push_back({float(i) / kRings, float(j) / kSegments});
        }
    auto at = [](int i, int j) { return std::uint32_t((i % kRings) * kSegments + (j % kSegments)); };
    for (int i = 0; i < kRings; ++i)
        for (int j = 0; j < kSegments; ++j) {
            FaceIndices f1, f2;
            const std::uint32_t q[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            f1.vertex[0] = f1.texCoord[0] = q[0], f1.vertex[1] = f1.texCoord[1] = q[2],
            f1.vertex[2] = f1.texCoord[2] = q[1];
            f2.vertex[0] = f2.texCoord[0] = q[0], f2.vertex[1] = f2.texCoord[1] = q[3],
            f2.vertex[2] = f2.texCoord[2] = q[2];
            f1.materialId = f2.materialId = 1;
            faces.push_back(f1);
            faces.push_back(f2);
        }
    auto* mesh = new MeshObject;
    mesh->id = 1;
    mesh->setGeometry(std::move(positions), std::move(coords), faces);
    return mesh;
}

struct Fixture {
    ImageLibrary images;
    std::unique_ptr<Scene> scene;
    kpximage* checker = nullptr;
    std::unique_ptr<Texture> texture;

    Fixture() {
        vantor::bench::offscreenContext("scene_bench");
        kpx_verbose_off();
        scene = std::make_unique<Scene>();
        scene->addObject(torus());
        auto* camera = new CameraObject;
        camera->setPosition({0, 4, 6});
        scene->addCamera(camera);
        auto* light = new LightObject;
        light->setPosition({5, 5, 5});
        scene->addLight(light);
        auto* material = new Material(&images);
        material->id = 1;
        scene->addMaterial(material);
        scene->objects->prepareGeometry();
        scene->objects->bindMaterials(*scene);
        checker = kpx_create(64, 64, 32, 0);
        for (int i = 0; i < 64 * 64; ++i)
            checker->image[4 * i] = checker->image[4 * i + 3] = ((i / 8 + i / 512) % 2) * 255;
        texture = std::make_unique<Texture>(checker, GL_TEXTURE_2D);
        texture->uploadTexture();
        material->setBaseTexture(texture.get());
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_SceneDraw(benchmark::State& state) {
    Fixture& f = fixture();
    // The benchmark's argument is the recipe's number.
    const auto mode = static_cast<ShadingMode>(state.range(0));
    f.scene->findMaterial(1)->setShading(mode);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vantor::bench::perspectiveFrameState();
        f.scene->update(0);
        f.scene->draw();
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kRings * kSegments);
}
BENCHMARK(BM_SceneDraw)->Arg(0)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The peer: the same triangles with their normals, lit, one material set once.
void BM_BareImmediateMode(benchmark::State& state) {
    Fixture& f = fixture();
    auto* mesh = static_cast<MeshObject*>(f.scene->objects);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        vantor::bench::perspectiveFrameState();
        gluLookAt(0, 4, 6, 0, 0, 0, 0, 1, 0);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_1D);
        vantor::bench::drawMeshBare(*mesh);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations() * 2 * kRings * kSegments);
}
BENCHMARK(BM_BareImmediateMode)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    vantor::bench::TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double peer = 0;
    for (const auto& [name, time] : reporter.times())
        if (name.rfind("BM_BareImmediateMode", 0) == 0) peer = time;
    if (peer > 0)
        for (const auto& [name, time] : reporter.times())
            if (name.rfind("BM_SceneDraw", 0) == 0)
                std::printf("%s / bare immediate mode: %.2f\n", name.c_str(), time / peer);
    benchmark::Shutdown();
    return 0;
}
